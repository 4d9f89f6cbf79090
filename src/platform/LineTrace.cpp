#include "platform/LineTrace.h"

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
                 "received\n",
                 stamp);
    std::fflush(file);
    return std::unique_ptr<LineTrace>(new LineTrace(file));
}

LineTrace::LineTrace(std::FILE* file) : file_(file) {}

LineTrace::~LineTrace() {
    std::fclose(file_);
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
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // One write and a flush per line: a crash loses at most the line being written.
    std::fprintf(file_, "%12.6f %-4s %s|%s|\n", t, sent ? "PC>" : "<DEV", hex.c_str(),
                 text.c_str());
    std::fflush(file_);
}

} // namespace orva
