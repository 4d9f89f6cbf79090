// The orva-sim tool's own options; serving the program over the link is tested end to end.

#include "sim/LightBarrier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("orva-sim-test-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

// The tool run by the shell (after `before`), its standard output on the pipe.
FILE* startTool(const std::string& args, const std::string& before = "") {
    return ::popen((before + "exec " ORVA_SIM_TOOL " " + args + " 2>/dev/null").c_str(), "r");
}
// Its output up to the end of the line, or of the output when the tool ends.
std::string readFrom(FILE* out, bool line) {
    std::string text;
    for (int c = std::fgetc(out); c != EOF && !(line && c == '\n'); c = std::fgetc(out)) {
        text += static_cast<char>(c);
    }
    return text;
}
int exitCode(FILE* out) {
    const int status = ::pclose(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(OrvaSimTool, ReplacesAStaleLinkAndRemovesItsOwnOnTerm) {
    TempDir dir;
    const fs::path link = dir.path / "COM2";
    fs::create_symlink(dir.path / "gone", link); // left over from an earlier run
    FILE* out = startTool("--link " + link.string() + " --exit-after 60", "echo $$; ");
    const pid_t pid = std::stoi(readFrom(out, true));
    const std::string ready = readFrom(out, true);
    EXPECT_EQ(ready.rfind("ready /dev/", 0), 0u) << ready;
    EXPECT_EQ(fs::read_symlink(link), ready.substr(6));
    const auto term = std::chrono::steady_clock::now();
    ::kill(pid, SIGTERM);
    EXPECT_EQ(exitCode(out), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - term, std::chrono::seconds(5));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(OrvaSimTool, DumpsTheSameCountTextAsTheModel) {
    FILE* out = startTool("--dump-count-text --days 3 --seed 7 --clock '05.12.2026 08:00:00'");
    EXPECT_EQ(readFrom(out, false),
              orva::sim::renderCountText(orva::sim::generateDays({2026, 12, 5}, 3, 7)) + "\n");
    EXPECT_EQ(exitCode(out), 0);
}

TEST(OrvaSimTool, RefusesToReplaceAFileAndRejectsBadOptions) {
    TempDir dir;
    const fs::path file = dir.path / "COM3";
    std::ofstream(file) << "keep me";
    EXPECT_EQ(exitCode(startTool("--link " + file.string() + " --exit-after 5")), 1);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");

    for (const char* args : {"--fault no-such-fault", "--fault bad-headers=x",
                             "--clock '31.02.2026 12:00:00'", "--days"}) {
        EXPECT_EQ(exitCode(startTool(args)), 2) << args;
    }
}

} // namespace
