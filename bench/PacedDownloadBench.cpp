// "&alle Daten" at 9600 baud on the real window (offscreen) and the Qt serial control on a
// pseudo-terminal, against orva-sim paced like the device: the program's CPU time, all
// threads, over the download's wall time (target at most 1 %) and the wall time over the wire
// time of the bytes the device sent (target at most 1.02). The Save-As dialog is cancelled.
// Usage: orva_paced_download_bench [DAYS]. The source also builds in a tree whose device
// commands still run on the window thread, so that both can be measured side by side.

#include "Program.h"
#include "app/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QTimer>

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

// Times a thread of the program went to sleep: each costs a wake-up, the main share of the CPU
// time of a download that mostly waits, and counts with less noise than the time.
long sleeps() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_nvcsw;
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    namespace fs = std::filesystem;
    const int days = argc > 1 ? std::atoi(argv[1]) : 30;
    const fs::path dir =
        fs::temp_directory_path() / ("orva-paced-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path simLog = dir / "sim.log";

    QProcess sim;
    sim.setStandardErrorFile(QString::fromStdString(simLog.string()));
    // The program's data directory, with the simulator at its port 2.
    qputenv("HOME", QByteArray::fromStdString(dir.string()));
    fs::create_directories(dir / "ORVA-DS");
    sim.start(ORVA_SIM_PATH, {"--link", QString::fromStdString((dir / "ORVA-DS" / "COM2").string()),
                              "--days", QString::number(days), "--reaction-delay", "0",
                              "--byte-time", QString::number(kByteTime, 'g', 10), "--verbose"});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "orva-sim did not start\n");
        return 1;
    }

    orva::MainWindow window;
    orva::QtPlatform qt(&window, window.statusBox(), window.textFeld());
    orva::Program program(qt.platform(), window);
#if __has_include("platform/qt/WindowThread.h")
    window.attach(program.editor, qt.thread());
#else
    window.attach(program.editor);
#endif
    program.editor.Form_Load();
    window.show();
    // Cancels the Save-As dialog the moment it shows, and counts any box.
    struct Answerer : QObject {
        bool eventFilter(QObject* o, QEvent* e) override {
            if (auto* d = qobject_cast<QDialog*>(o); d != nullptr && e->type() == QEvent::Show) {
                boxes += d->inherits("QMessageBox") ? 1 : 0;
                QTimer::singleShot(0, d, &QDialog::reject);
            }
            return false;
        }
        int boxes = 0;
    } answer;
    app.installEventFilter(&answer);
    const std::size_t logOffset = readAll(simLog).size();

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const long sleepsStart = sleeps();
    double cpu = 0.0;
    long slept = 0;
    double wall = 0.0;
    auto ended = [&] {
        cpu = cpuSeconds() - cpuStart;
        slept = sleeps() - sleepsStart;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        QApplication::quit();
    };
#if __has_include("platform/qt/WindowThread.h")
    QObject::connect(&window, &orva::MainWindow::commandEnded, ended);
    QTimer::singleShot(0, [&] { window.menuAction("mnuAlleDaten")->trigger(); });
#else
    QTimer::singleShot(0, [&] {
        window.menuAction("mnuAlleDaten")->trigger();
        ended();
    });
#endif
    QApplication::exec();

    sim.terminate();
    sim.waitForFinished(5000);
    const long sent = deviceBytes(readAll(simLog), logOffset);
    const double wire = static_cast<double>(sent) * kByteTime;
    std::printf("%d days, %zu count characters, %d boxes: wall %.2f s, CPU %.3f s, "
                "device bytes %ld (wire %.2f s)\n",
                days, program.state.CountText.size(), answer.boxes, wall, cpu, sent, wire);
    std::printf("CPU/wall %.2f %% (target <= 1 %%), wall/wire %.4f (target <= 1.02), "
                "%.1f sleeps a second\n",
                100.0 * cpu / wall, wall / wire, static_cast<double>(slept) / wall);
    fs::remove_all(dir);
    return cpu / wall <= 0.01 && wall / wire <= 1.02 ? 0 : 2;
}
