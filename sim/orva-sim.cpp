// orva-sim: a simulated ORVA-DS light barrier on a pseudo-terminal, so that the program can be
// tried and tested without the device.

#include "sim/LightBarrier.h"
#include "sim/PtyServer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <csignal>

namespace {

using namespace orva::sim;

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void printUsage(std::ostream& os) {
    os << "usage: orva-sim [options]\n"
          "  --link PATH           symbolic link to the pseudo-terminal (~/ORVA-DS/COM2)\n"
          "  --days N              days in the memory, ending with the clock's hour (30)\n"
          "  --seed S              seed of the counts (1)\n"
          "  --clock \"DD.MM.YYYY hh:mm:ss\"  the device clock (the PC's local time)\n"
          "  --fault NAME[=n]      switch a fault on for the next n occasions (1); repeatable\n"
          "  --reaction-delay S    seconds before an answer starts (0.005)\n"
          "  --byte-time S         seconds per byte on the line (9600 baud: 0.00104)\n"
          "  --no-pacing           answer at once, without reaction delay and baud pacing\n"
          "  --exit-after S        stop after S seconds\n"
          "  --dump-count-text     print the memory as the program receives it, and exit\n"
          "  --verbose             log the bytes on the line to standard error\n"
          "faults:\n";
    for (const FaultInfo& f : faultList()) {
        os << "  " << f.name << ": " << f.meaning << "\n";
    }
}

long parseInteger(std::string_view text, std::string_view option) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        throw UsageError(std::string(option) + ": not a whole number: " + std::string(text));
    }
    return value;
}

double parseSeconds(const std::string& text, std::string_view option) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value >= 0.0)) {
        throw UsageError(std::string(option) + ": not a number of seconds: " + text);
    }
    return value;
}

ClockTime parseClock(const std::string& text) {
    ClockTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d%c", &t.date.day, &t.date.month, &t.date.year,
                    &t.hour, &t.minute, &t.second, &tail) != 6 ||
        !isValidDate(t.date) || t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 ||
        t.second < 0 || t.second > 59) {
        throw UsageError("--clock: expected \"DD.MM.YYYY hh:mm:ss\", got \"" + text + "\"");
    }
    return t;
}

ClockTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    return {{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday},
            tm.tm_hour,
            tm.tm_min,
            std::min(tm.tm_sec, 59)};
}

std::string hexBytes(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        s += digits[b >> 4];
        s += digits[b & 0xF];
        s += ' ';
    }
    return s;
}

struct Settings {
    std::string link;
    long days = 30;
    long seed = 1;
    std::optional<ClockTime> clock;
    Faults faults;
    Timing timing;
    std::optional<double> exitAfter;
    bool dumpCountText = false;
    bool verbose = false;
    bool help = false;
};

Settings parseArguments(int argc, char** argv) {
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw UsageError(std::string(arg) + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--link") {
            s.link = value();
        } else if (arg == "--days") {
            s.days = parseInteger(value(), arg);
            if (s.days < 0 || s.days > 36500) {
                throw UsageError("--days: 0 to 36500");
            }
        } else if (arg == "--seed") {
            s.seed = parseInteger(value(), arg);
        } else if (arg == "--clock") {
            s.clock = parseClock(value());
        } else if (arg == "--fault") {
            const std::string spec = value();
            const auto eq = spec.find('=');
            const std::string name = spec.substr(0, eq);
            const long n = eq == std::string::npos ? 1 : parseInteger(spec.substr(eq + 1), arg);
            if (n < 0 || n > 1000000 || !setFault(s.faults, name, static_cast<int>(n))) {
                throw UsageError("--fault: unknown fault or count: " + spec);
            }
        } else if (arg == "--reaction-delay") {
            s.timing.reactionDelay = parseSeconds(value(), arg);
        } else if (arg == "--byte-time") {
            s.timing.byteTime = parseSeconds(value(), arg);
        } else if (arg == "--no-pacing") {
            s.timing = Timing::instant();
        } else if (arg == "--exit-after") {
            s.exitAfter = parseSeconds(value(), arg);
        } else if (arg == "--dump-count-text") {
            s.dumpCountText = true;
        } else if (arg == "--verbose") {
            s.verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            s.help = true;
        } else {
            throw UsageError("unknown option " + std::string(arg));
        }
    }
    if (s.link.empty() && !s.dumpCountText) {
        const char* home = std::getenv("HOME");
        s.link = std::string(home != nullptr ? home : ".") + "/ORVA-DS/COM2";
    }
    return s;
}

int run(const Settings& s) {
    LightBarrier barrier(s.timing);
    barrier.faults = s.faults;
    const ClockTime clock = s.clock.value_or(localNow());
    barrier.memory = generateDays(clock.date, static_cast<int>(s.days),
                                  static_cast<std::uint32_t>(s.seed), clock.hour);

    if (s.dumpCountText) {
        std::cout << renderCountText(barrier.memory) << '\n';
        return 0;
    }

    // Stop signals stay blocked except while the server sleeps, so none is missed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stopSignals, sig);
        struct sigaction sa {};
        sa.sa_handler = onStopSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(sig, &sa, nullptr);
    }
    sigset_t waitMask;
    ::sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigdelset(&waitMask, sig);
    }

    PtyServer server;
    if (!s.link.empty()) {
        server.makeLink(s.link);
    }
    const double start = monotonicSeconds();
    barrier.setClock(clock, start);
    std::cout << "ready " << server.ptyPath() << std::endl;

    PtyServer::Options options;
    if (s.exitAfter) {
        options.until = start + *s.exitAfter;
    }
    options.waitMask = &waitMask;
    options.stop = [] { return stopRequested != 0; };
    // The device's bytes trickle out one at a time; they are logged as one line when the PC
    // speaks again.
    std::string answer;
    double answerStart = 0.0;
    auto flushAnswer = [&] {
        if (!answer.empty()) {
            std::fprintf(stderr, "%9.3f <DEV %s\n", answerStart, hexBytes(answer).c_str());
            answer.clear();
        }
    };
    if (s.verbose) {
        options.trace = [&](bool fromPc, std::string_view bytes) {
            const double t = monotonicSeconds() - start;
            if (!fromPc) {
                answerStart = answer.empty() ? t : answerStart;
                answer += bytes;
                return;
            }
            flushAnswer();
            std::fprintf(stderr, "%9.3f PC>  %s\n", t, hexBytes(bytes).c_str());
        };
    }
    server.serve(barrier, options);
    flushAnswer();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Settings settings = parseArguments(argc, argv);
        if (settings.help) {
            printUsage(std::cout);
            return 0;
        }
        return run(settings);
    } catch (const UsageError& e) {
        std::cerr << "orva-sim: " << e.what() << "\n";
        printUsage(std::cerr);
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "orva-sim: " << e.what() << "\n";
        return 1;
    }
}
