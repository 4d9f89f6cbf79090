// "&alle Daten" at 9600 baud through the Qt serial control on a pseudo-terminal, against
// orva-sim paced like the device: the program's CPU time over the download's wall time (target
// at most 1 %) and the wall time over the wire time of the bytes the device sent (target at
// most 1.02). Usage: orva_paced_download_bench [DAYS [TRACE_FILE]]; with a trace file a clock
// read runs first and the line is traced. The source also builds in a tree without the trace,
// so that an older wait can be measured beside the current one.

#include "Program.h"
#include "fakes/FakePlatform.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtSerialControl.h"
#if __has_include("platform/LineTrace.h")
#include "platform/LineTrace.h"
#endif

#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr double kByteTime = 10.0 / 9600; // start, 8 data and stop bit

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Bytes the device sent, from the simulator's log from `offset` on.
long deviceBytes(const std::string& log, std::size_t offset) {
    std::istringstream lines(log.substr(offset));
    long n = 0;
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find("<DEV");
        if (at != std::string::npos) {
            std::istringstream hex(line.substr(at + 4));
            for (std::string pair; hex >> pair;) {
                ++n;
            }
        }
    }
    return n;
}

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    namespace fs = std::filesystem;
    const int days = argc > 1 ? std::atoi(argv[1]) : 30;
    const fs::path dir =
        fs::temp_directory_path() / ("orva-paced-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path simLog = dir / "sim.log";

    QProcess sim;
    sim.setStandardErrorFile(QString::fromStdString(simLog.string()));
    sim.start(ORVA_SIM_PATH, {"--link", QString::fromStdString((dir / "COM2").string()), "--days",
                              QString::number(days), "--reaction-delay", "0", "--byte-time",
                              QString::number(kByteTime, 'g', 10), "--verbose"});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "orva-sim did not start\n");
        return 1;
    }

    orva::test::FakePlatform fakes;
    fakes.files.dataDir = dir.string();
    orva::QtSerialControl serial(dir.string());
    orva::QtClock clock;
    orva::Platform platform{serial,        fakes.screen, fakes.text, fakes.dialog,
                            fakes.printer, clock,        fakes.files};
    orva::test::FakeWindow window;
    orva::Program program(platform, window);
    program.editor.Form_Load();
#if __has_include("platform/LineTrace.h")
    std::unique_ptr<orva::LineTrace> trace;
    if (argc > 2) {
        trace = orva::LineTrace::open(argv[2]);
        serial.setTrace(trace.get());
        program.clock.mnuUhrlesen_Click();
    }
#endif
    const std::size_t logOffset = readAll(simLog).size();

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    program.downloads.mnuAlleDaten_Click();
    const double cpu = cpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    sim.terminate();
    sim.waitForFinished(5000);
    const long sent = deviceBytes(readAll(simLog), logOffset);
    const double wire = static_cast<double>(sent) * kByteTime;
    std::printf("%d days, %zu count characters, %zu boxes: wall %.2f s, CPU %.3f s, "
                "device bytes %ld (wire %.2f s)\n",
                days, program.state.CountText.size(), fakes.screen.boxes.size(), wall, cpu, sent,
                wire);
    std::printf("CPU/wall %.2f %% (target <= 1 %%), wall/wire %.4f (target <= 1.02)\n",
                100.0 * cpu / wall, wall / wire);
    fs::remove_all(dir);
    return cpu / wall <= 0.01 && wall / wire <= 1.02 ? 0 : 2;
}
