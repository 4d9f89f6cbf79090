#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace orva {

// A record of every byte on the serial line for support: one line per write or read, with
// the seconds since the trace began, the direction, the bytes in hex and as printable text;
// and a marker line where a menu command begins and one with what it ended with.
class LineTrace {
public:
    // Appends to `path`; nothing when it cannot be opened.
    static std::unique_ptr<LineTrace> open(const std::string& path);
    ~LineTrace();
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;

    // `sent`: from the PC to the device.
    void record(bool sent, std::string_view bytes);
    void commandBegins(std::string_view caption);
    // A message box: part of the running command's outcome, or a line of its own between
    // commands.
    void boxShown(std::string_view text);
    // The outcome: the texts of the boxes the command showed, or "fertig".
    void commandEnds();

private:
    explicit LineTrace(std::FILE* file);
    void line(std::string_view tag, std::string_view text);

    std::FILE* file_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool inCommand_ = false;
    std::string boxes_; // of the running command
};

} // namespace orva
