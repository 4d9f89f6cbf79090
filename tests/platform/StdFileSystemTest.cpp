#include "platform/StdFileSystem.h"
#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace orva {
namespace {

class StdFileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orva-fs-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const RunTimeError& e) {
            return e.number();
        }
        return 0;
    }

    fs::path dir;
    StdFileSystem files;
};

TEST_F(StdFileSystemTest, WritesAndReadsBytesExactly) {
    const std::string path = (dir / "a.txt").string();
    const std::string bytes("Z\xe4hl\r\n\t\0end", 11);
    files.writeFile(path, bytes);
    EXPECT_TRUE(files.fileExists(path));
    EXPECT_EQ(files.readFile(path), bytes);
    files.writeFile(path, "");
    EXPECT_EQ(files.readFile(path), "");
}

TEST_F(StdFileSystemTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    const std::string path = (dir / "ORVAInit.txt").string();
    files.writeFile(path, "old\r\n");
    // A directory in the temporary file's place makes the write fail before the rename.
    fs::create_directory(path + ".orva-tmp");
    EXPECT_NE(errorOf([&] { files.writeFile(path, "new\r\n"); }), 0);
    EXPECT_EQ(files.readFile(path), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(StdFileSystemTest, FailuresAreRunTimeErrorsWithTheirNumbers) {
    EXPECT_EQ(errorOf([&] { files.readFile((dir / "missing.txt").string()); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { files.setCurrentDir((dir / "nowhere").string()); }), err::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.writeFile((dir / "nowhere" / "x.txt").string(), "x"); }),
              err::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.readFile(dir.string()); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { files.writeFile(dir.string(), "x"); }), err::PathFileAccess);
    EXPECT_FALSE(files.fileExists(dir.string()));
}

TEST_F(StdFileSystemTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    files.setCurrentDir(dir.string());
    files.writeFile("rel.txt", "x");
    EXPECT_TRUE(fs::exists(dir / "rel.txt"));
    EXPECT_EQ(fs::path(files.currentDir()), fs::canonical(dir));
    fs::current_path(before);
    EXPECT_EQ(joinPath("/a/b", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(joinPath("/a/b", "/x/c.txt"), "/x/c.txt");
    EXPECT_EQ(joinPath("", "c.txt"), "c.txt");
}

} // namespace
} // namespace orva
