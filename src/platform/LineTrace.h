#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace orva {

// A record of every byte on the serial line for support: one line per write or read, with
// the seconds since the trace began, the direction, the bytes in hex and as printable text.
class LineTrace {
public:
    // Appends to `path`; nothing when it cannot be opened.
    static std::unique_ptr<LineTrace> open(const std::string& path);
    ~LineTrace();
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;

    // `sent`: from the PC to the device.
    void record(bool sent, std::string_view bytes);

private:
    explicit LineTrace(std::FILE* file);

    std::FILE* file_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace orva
