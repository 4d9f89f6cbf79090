// The report over a full device memory: 1 day, 1 year and 2 years of 24 records a day.
// Prints the time per report, the sizes, and the heap a report needs at its peak.

#include "evaluation/Evaluation.h"
#include "platform/GermanDate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t live = liveBytes += malloc_usable_size(p);
    std::size_t peak = peakBytes;
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void release(void* p) noexcept {
    if (p != nullptr) {
        liveBytes -= malloc_usable_size(p);
        std::free(p);
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}

namespace {

std::string hexByte(int v) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return {digits[(v >> 4) & 15], digits[v & 15]};
}

std::string hexWord(int v) {
    return hexByte(v >> 8) + hexByte(v & 0xFF);
}

// Consecutive days from 1 January 2024, 24 hourly records each, no count ever zero (a record
// of twelve zeros would end its day).
std::string deviceMemory(int days) {
    std::string text;
    orva::Date date{2024, 1, 1};
    for (int d = 0; d < days; ++d) {
        text += std::string(12, '0') + hexByte(date.year % 100) + hexByte(date.month) +
                hexByte(date.day);
        for (int h = 0; h < 24; ++h) {
            text += hexWord(h) + hexWord(1 + (d * 7 + h * 13) % 500) +
                    hexWord(1 + (d * 11 + h * 3) % 400);
        }
        if (!orva::isValidDate(date.year, date.month, ++date.day)) {
            date.day = 1;
            if (++date.month > 12) {
                date.month = 1;
                ++date.year;
            }
        }
    }
    return text + std::string(18, '0');
}

void BuildReport(benchmark::State& st) {
    const int days = static_cast<int>(st.range(0));
    // The widest table.
    const orva::Settings settings{orva::CountDirection::Both, orva::TimeRaster::Hours, 0, 23, 2};
    const std::string countText = deviceMemory(days);

    std::size_t peak = 0;
    orva::Report result;
    for (auto _ : st) {
        st.PauseTiming();
        result = orva::Report(); // each report starts from nothing, as after start-up
        const std::size_t before = liveBytes;
        peakBytes = before;
        st.ResumeTiming();
        result = orva::MakeReport(countText, settings, "\r\n", {});
        peak = std::max(peak, peakBytes - before);
    }
    if (!result.Errors.empty()) {
        st.SkipWithError("the report reported an error");
    }
    const auto report = static_cast<double>(result.ReportText.size());
    st.SetComplexityN(days);
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * countText.size()));
    st.counters["days"] = days;
    st.counters["input_bytes"] = static_cast<double>(countText.size());
    st.counters["report_bytes"] = report;
    st.counters["peak_heap_bytes"] = static_cast<double>(peak);
    st.counters["heap_per_report_byte"] = static_cast<double>(peak) / report;
}

BENCHMARK(BuildReport)
    ->Arg(1)
    ->Arg(365)
    ->Arg(730)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
