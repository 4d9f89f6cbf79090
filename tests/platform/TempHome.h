#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace orva::test {

// A fresh home folder with its data folder for one test. HOME and the current directory are
// given back and the folder removed when the test ends, so that no test sees another's files.
class TempHome {
public:
    TempHome() {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(data());
        ::setenv("HOME", path_.c_str(), 1);
    }
    ~TempHome() {
        std::filesystem::current_path(oldCwd_);
        ::setenv("HOME", oldHome_.c_str(), 1);
        std::filesystem::remove_all(path_);
    }

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path data() const { return path_ / "ORVA-DS"; }

    static std::string read(const std::filesystem::path& file) {
        std::stringstream s;
        s << std::ifstream(file, std::ios::binary).rdbuf();
        return s.str();
    }
    static void write(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("orva-test-" + std::to_string(::getpid()) + "-" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::path oldCwd_ = std::filesystem::current_path();
    std::string oldHome_ = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
};

} // namespace orva::test
