// The orva-sim tool as the program meets it: a serial port behind a symbolic link.

#include "sim/LightBarrier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string ack = "\x16\x06";
const std::string wake = "\x16\x16\x16\x16\x16\x05";

// Up to `count` bytes, or up to a line end, waiting at most `limit` seconds in all.
std::string readFrom(int fd, std::size_t count, double limit, bool line = false) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit);
    while (text.size() < count && std::chrono::steady_clock::now() < end) {
        pollfd pfd{fd, POLLIN, 0};
        char c = 0;
        if (::poll(&pfd, 1, 20) <= 0) {
            continue;
        }
        if (::read(fd, &c, 1) != 1 || (line && c == '\n')) {
            break;
        }
        text += c;
    }
    return text;
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("orva-sim-test-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

// The tool in a child process, its standard output on a pipe.
struct Tool {
    explicit Tool(std::vector<std::string> args) {
        args.insert(args.begin(), ORVA_SIM_TOOL);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        int fds[2] = {-1, -1};
        EXPECT_EQ(::pipe(fds), 0);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        out = fds[0];
    }
    ~Tool() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::close(out);
    }
    // The exit code, or -1 when the tool has not ended within five seconds.
    int wait() {
        for (int i = 0; i < 500; ++i, ::usleep(10000)) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        return -1;
    }

    pid_t pid = -1;
    int out = -1;
};

TEST(OrvaSimTool, ServesTheClockBehindTheLinkAndRemovesTheLinkOnTerm) {
    TempDir dir;
    const fs::path link = dir.path / "COM2";
    fs::create_symlink(dir.path / "gone", link); // left over from an earlier run
    Tool tool({"--link", link.string(), "--clock", "05.12.2026 12:45:30", "--exit-after", "60"});
    const std::string ready = readFrom(tool.out, 100, 5.0, true);
    ASSERT_EQ(ready.rfind("ready /dev/", 0), 0u) << ready;
    EXPECT_EQ(fs::read_symlink(link), ready.substr(6));

    const int port = ::open(link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port, 0);
    termios t{};
    ::tcgetattr(port, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(port, TCSANOW, &t);
    auto exchange = [port](const std::string& bytes, std::size_t count) {
        EXPECT_EQ(::write(port, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        return readFrom(port, count, 1.0);
    };
    EXPECT_EQ(exchange(wake, 2), ack);
    EXPECT_EQ(exchange("\x16\x02ru\x03", 2), ack);
    EXPECT_EQ(exchange("\x16\x02ru\x03", 2), ack);
    EXPECT_EQ(exchange("\x16\x04", 6), wake);
    const std::string frame = exchange(ack, 35);
    ASSERT_EQ(frame.size(), 35u);
    EXPECT_EQ(frame.substr(0, 2), "\x16\x02");
    EXPECT_TRUE(frame.substr(2, 2) == "1E" || frame.substr(2, 2) == "1F") << "second 30 or 31";
    EXPECT_EQ(frame.substr(4, 10), "2D0C050C1A") << "12:45 on 05.12.26";
    EXPECT_EQ(exchange(ack, 35), frame);
    EXPECT_EQ(exchange(ack, 2).size(), 2u);
    ::close(port);

    ::kill(tool.pid, SIGTERM);
    EXPECT_EQ(tool.wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(OrvaSimTool, DumpsTheSameCountTextAsTheModel) {
    Tool tool(
        {"--dump-count-text", "--days", "3", "--seed", "7", "--clock", "05.12.2026 08:00:00"});
    const std::string expected =
        orva::sim::renderCountText(orva::sim::generateDays({2026, 12, 5}, 3, 7)) + "\n";
    EXPECT_EQ(readFrom(tool.out, expected.size() + 1, 5.0), expected);
    EXPECT_EQ(tool.wait(), 0);
}

TEST(OrvaSimTool, RefusesToReplaceAFileAndRejectsBadOptions) {
    TempDir dir;
    const fs::path file = dir.path / "COM3";
    std::ofstream(file) << "keep me";
    EXPECT_EQ(Tool({"--link", file.string(), "--exit-after", "5"}).wait(), 1);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");

    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--fault", "no-such-fault"},
                                               {"--fault", "bad-headers=x"},
                                               {"--clock", "31.02.2026 12:00:00"},
                                               {"--days"}}) {
        EXPECT_EQ(Tool(args).wait(), 2) << args[0] << ' ' << args.back();
    }
}

} // namespace
