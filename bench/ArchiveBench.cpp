// The archive on a real SQLite file in a temporary folder: merging a 2-year download into an
// empty archive and again into a full one, then the month view and the weekday profile over a
// 10-year archive of 4 sites (built once, about 350,000 hours).

#include "archive/ArchiveRows.h"
#include "archive/qt/SqlArchive.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <variant>

namespace {

using namespace orva;

std::vector<ArchivedHour> days(const Date& first, int count) {
    std::vector<ArchivedHour> hours;
    hours.reserve(static_cast<std::size_t>(count) * 24);
    for (int d = 0; d < count; ++d) {
        for (int h = 0; h < 24; ++h) {
            hours.push_back({addDays(first, d), h, (d * 7 + h) % 300, (d + h * 3) % 200});
        }
    }
    return hours;
}

const DateTime kAt{{2026, 12, 7}, 12, 0, 0};

void BM_MergeTwoYears(benchmark::State& state) {
    const std::vector<ArchivedHour> download = days({2024, 12, 1}, 730);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        SqlArchive archive(dir.filePath("a.sqlite").toStdString());
        archive.open();
        if (state.range(0) == 1) {
            archive.merge("S", download, kAt); // the same download again: nothing new
        }
        state.ResumeTiming();
        if (std::holds_alternative<ArchiveError>(archive.merge("S", download, kAt))) {
            state.SkipWithError("merge failed");
        }
    }
    state.counters["hours"] = static_cast<double>(download.size());
}
BENCHMARK(BM_MergeTwoYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

class TenYears {
public:
    TenYears() : archive_(dir_.filePath("a.sqlite").toStdString()) {
        const std::vector<ArchivedHour> hours = days({2016, 12, 1}, 3653);
        for (const char* site : {"Nord", "Süd", "Ost", "West"}) {
            archive_.merge(site, hours, kAt);
        }
    }
    SqlArchive& archive() { return archive_; }

private:
    QTemporaryDir dir_;
    SqlArchive archive_;
};

TenYears& tenYears() {
    static TenYears archive;
    return archive;
}

void BM_MonthViewTenYears(benchmark::State& state) {
    SqlArchive& archive = tenYears().archive();
    const ArchiveQuery all{state.range(0) ? "Nord" : "", {2016, 12, 1}, {2026, 11, 30}};
    for (auto _ : state) {
        auto result = archive.days(all, 6, 18);
        if (const auto* d = std::get_if<std::vector<DayTotals>>(&result)) {
            benchmark::DoNotOptimize(groupDays(*d, Grouping::Month));
        } else {
            state.SkipWithError("query failed");
        }
    }
}
BENCHMARK(BM_MonthViewTenYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WeekdayProfileTenYears(benchmark::State& state) {
    SqlArchive& archive = tenYears().archive();
    const ArchiveQuery all{state.range(0) ? "Nord" : "", {2016, 12, 1}, {2026, 11, 30}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(archive.profile(all));
    }
}
BENCHMARK(BM_WeekdayProfileTenYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
