#include "platform/StdFileSystem.h"
#include "platform/RunTimeError.h"
#include "platform/TempHome.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>

namespace fs = std::filesystem;

namespace orva {
namespace {

class StdFileSystemTest : public testing::Test {
protected:
    test::TempHome home;
    fs::path dir = home.data();
    StdFileSystem files;
};

// Through a link: the link stays, its file takes the bytes and keeps its permissions.
TEST_F(StdFileSystemTest, WritesBytesExactlyAndAFailedWriteLeavesTheOldFileAlone) {
    const std::string path = (dir / "ORVAInit.txt").string(), real = (dir / "real.txt").string();
    test::TempHome::write(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.txt", path); // relative to the link's folder
    const std::string bytes("Z\xe4hl\r\n\t\0end", 11);
    ASSERT_TRUE(files.writeFile(path, bytes));
    EXPECT_TRUE(fs::is_symlink(path) && *files.readFile(real) == bytes);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // A full disk under the temporary name: the write fails, and the temporary file goes.
    fs::create_symlink("/dev/full", real + ".orva-tmp");
    EXPECT_EQ(files.writeFile(path, "new\r\n").error(), err::DiskFull);
    EXPECT_EQ(*files.readFile(path), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(StdFileSystemTest, FailuresAreRunTimeErrorsWithTheirNumbers) {
    EXPECT_EQ(files.readFile((dir / "missing.txt").string()).error(), err::FileNotFound);
    EXPECT_EQ(files.setCurrentDir((dir / "nowhere").string()).error(), err::PathNotFound);
    EXPECT_EQ(files.writeFile((dir / "nowhere" / "x.txt").string(), "x").error(),
              err::PathNotFound);
    EXPECT_EQ(files.readFile(dir.string()).error(), err::PathFileAccess);
    EXPECT_EQ(files.writeFile(dir.string(), "x").error(), err::PathFileAccess);
    EXPECT_FALSE(files.fileExists(dir.string()));
    // No device behind the name, as with a drive without its medium (ENXIO).
    sockaddr_un drive{AF_UNIX, {}};
    (dir / "drive").string().copy(drive.sun_path, sizeof drive.sun_path - 1);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::bind(sock, reinterpret_cast<const sockaddr*>(&drive), sizeof drive);
    ::close(sock);
    EXPECT_EQ(files.readFile(drive.sun_path).error(), err::DiskNotReady);
}

TEST_F(StdFileSystemTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
    ASSERT_TRUE(files.setCurrentDir(dir.string()) && files.writeFile("rel.txt", "x"));
    EXPECT_TRUE(fs::exists(dir / "rel.txt"));
    EXPECT_TRUE(files.sameFile("rel.txt", (dir / "rel.txt").string()));
    EXPECT_TRUE(files.sameFile("./new.txt", (dir / "new.txt").string())); // not made yet
    EXPECT_FALSE(files.sameFile("rel.txt", (dir / "new.txt").string()));
    EXPECT_EQ(joinPath("/a/b", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(joinPath("/a/b", "/x/c.txt"), "/x/c.txt");
}

} // namespace
} // namespace orva
