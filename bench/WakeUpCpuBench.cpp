// A wake-up that nobody answers, on a real pseudo-terminal through the Qt serial control: the
// program waits three seconds in all. Prints the wall time and the CPU time it took; the CPU
// share must stay far below a full core (target: under 10 %).

#include "fakes/FakePlatform.h"
#include "link/DeviceLink.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtSerialControl.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    namespace fs = std::filesystem;

    // The far end: a pseudo-terminal whose master side is kept open and never answers.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const fs::path dir =
        fs::temp_directory_path() / ("orva-wake-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::create_symlink(ptsname(master), dir / "COM2");

    orva::test::FakePlatform fakes;
    orva::QtSerialControl serial(dir.string());
    orva::QtClock clock;
    orva::Platform platform{serial,        fakes.screen, fakes.text, fakes.dialog,
                            fakes.printer, clock,        fakes.files};
    orva::DeviceLink link(platform, [](const std::function<void()>& step) {
        step();
        return true;
    });
    serial.setCommPort(2);
    serial.setPortOpen(true);

    const auto wallStart = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    link.WakeDevice();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::printf("failed wake-up: wall %.3f s, CPU %.3f s, CPU share %.1f %% (target < 10 %%)\n",
                wall, cpu, 100.0 * cpu / wall);
    std::printf("transfer-error boxes shown: %zu, link error count %d\n", fakes.screen.boxes.size(),
                link.LinkErrorCount);
    fs::remove_all(dir);
    close(master);
    return cpu / wall < 0.10 ? 0 : 2;
}
