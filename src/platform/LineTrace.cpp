#include "platform/LineTrace.h"

#include <charconv>
#include <ctime>

namespace orva {

std::unique_ptr<LineTrace> LineTrace::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        return nullptr;
    }
    const std::time_t now = std::time(nullptr);
    char stamp[32] = "?";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    std::fprintf(file,
                 "# orva-ds line trace begun %s; seconds since then, PC> sent, <DEV "
                 "received, >>> a command begins, <<< what it ended with\n",
                 stamp);
    std::fflush(file);
    return std::unique_ptr<LineTrace>(new LineTrace(file));
}

LineTrace::LineTrace(std::FILE* file) : file_(file) {}

LineTrace::~LineTrace() {
    std::fclose(file_);
}

void LineTrace::line(std::string_view tag, std::string_view text) {
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // Unlike printf's %f, to_chars ignores the locale, which may call for a decimal comma.
    char seconds[32];
    const char* end =
        std::to_chars(seconds, seconds + sizeof seconds, t, std::chars_format::fixed, 6).ptr;
    // One write and a flush per line: a crash loses at most the line being written.
    std::fprintf(file_, "%12.*s %-4.*s %.*s\n", static_cast<int>(end - seconds), seconds,
                 static_cast<int>(tag.size()), tag.data(), static_cast<int>(text.size()),
                 text.data());
    std::fflush(file_);
}

void LineTrace::record(bool sent, std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += {digits[b >> 4], digits[b & 0xF], ' '};
        text += b >= 0x20 && b < 0x7F ? c : '.';
    }
    line(sent ? "PC>" : "<DEV", hex + "|" + text + "|");
}

void LineTrace::commandBegins(std::string_view caption) {
    inCommand_ = true;
    boxes_.clear();
    line(">>>", caption);
}

void LineTrace::boxShown(std::string_view text) {
    // On one line: every run of line ends and tabs becomes one blank.
    std::string flat;
    for (const char c : text) {
        const bool control = static_cast<unsigned char>(c) < 0x20;
        if (!control) {
            flat += c;
        } else if (!flat.empty() && flat.back() != ' ') {
            flat += ' ';
        }
    }
    if (!inCommand_) {
        line("<<<", "Meldung: " + flat);
        return;
    }
    boxes_ += (boxes_.empty() ? "Meldung: " : " | ") + flat;
}

void LineTrace::commandEnds() {
    inCommand_ = false;
    line("<<<", boxes_.empty() ? "fertig" : boxes_);
}

} // namespace orva
