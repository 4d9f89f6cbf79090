#include "platform/StdFileSystem.h"

#include "platform/RunTimeError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace orva {
namespace {

#ifdef ENOMEDIUM
constexpr int ENOMEDIUM_VALUE = ENOMEDIUM; // no medium in the drive
#else
constexpr int ENOMEDIUM_VALUE = -1;
#endif

int errorNumberFor(const std::error_code& ec, int fallback) {
    if (ec == std::errc::no_such_file_or_directory) {
        return fallback;
    }
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
        ec == std::errc::read_only_file_system) {
        return err::PermissionDenied;
    }
    if (ec == std::errc::no_space_on_device || ec == std::errc::file_too_large) {
        return err::DiskFull;
    }
    if (ec == std::errc::no_such_device || ec == std::errc::no_such_device_or_address ||
        ec.value() == ENOMEDIUM_VALUE) {
        return err::DiskNotReady;
    }
    return err::PathFileAccess;
}

int currentErrno() {
    return errno;
}

fs::path toPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromPath(const fs::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// The file a name stands for: symbolic links followed to their end, so that writing keeps
// the link and replaces the file it points to.
fs::path finalTarget(fs::path p) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(p, ec); ++hops) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            break;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

// Puts what was written to the file (or the folder's entries) on the disk; false when the
// system refuses. A rename is safe from a power cut only after its file is on the disk.
bool flushToDisk(const fs::path& p, bool folder) {
#ifdef _WIN32
    if (folder) {
        return true; // a folder does not open this way; NTFS journals the rename
    }
    const int fd = ::_wopen(p.c_str(), _O_WRONLY | _O_BINARY);
    const bool flushed = fd >= 0 && ::_commit(fd) == 0;
    if (fd >= 0) {
        ::_close(fd);
    }
#else
    const int fd = ::open(p.c_str(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
#endif
    return flushed;
}

} // namespace

std::string joinPath(const std::string& dir, const std::string& name) {
    const fs::path p = toPath(name);
    if (p.is_absolute() || dir.empty()) {
        return name;
    }
    return fromPath(toPath(dir) / p);
}

std::string StdFileSystem::dataDirectory() {
#ifdef _WIN32
    return "C:\\ORVA-DS";
#else
    const char* home = std::getenv("HOME");
    return joinPath(home != nullptr ? home : "", "ORVA-DS");
#endif
}

std::string StdFileSystem::currentDir() {
    std::error_code ec;
    auto p = fs::current_path(ec);
    return ec ? std::string() : fromPath(p);
}

Outcome<> StdFileSystem::setCurrentDir(const std::string& dir) {
    std::error_code ec;
    fs::current_path(toPath(dir), ec);
    return ec ? Outcome<>(Failure{err::PathNotFound}) : Outcome<>();
}

Outcome<> StdFileSystem::makeDirectory(const std::string& dir) {
    std::error_code ec;
    fs::create_directory(toPath(dir), ec);
    return ec ? Outcome<>(Failure{errorNumberFor(ec, err::PathNotFound)}) : Outcome<>();
}

bool StdFileSystem::sameFile(const std::string& a, const std::string& b) {
    std::error_code ecA;
    std::error_code ecB;
    const fs::path pa = fs::weakly_canonical(toPath(a), ecA);
    const fs::path pb = fs::weakly_canonical(toPath(b), ecB);
    return !ecA && !ecB && pa == pb;
}

bool StdFileSystem::fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(toPath(path), ec);
}

Outcome<std::uintmax_t> StdFileSystem::fileSize(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(toPath(path), ec);
    if (ec) {
        return Failure{errorNumberFor(ec, err::FileNotFound)};
    }
    return size;
}

Outcome<std::string> StdFileSystem::readFile(const std::string& path) {
    const fs::path p = toPath(path);
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
        return Failure{err::PathFileAccess};
    }
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        const std::error_code open(currentErrno(), std::generic_category());
        return Failure{errorNumberFor(open, err::FileNotFound)};
    }
    std::string bytes;
    const auto size = fs::file_size(p, ec);
    if (!ec) {
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return Failure{err::DeviceIO};
    }
    return bytes;
}

Outcome<> StdFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    // Written under a temporary name, put on the disk and renamed over the target, so that a
    // failure or a power cut leaves the old file as it was.
    const fs::path target = finalTarget(toPath(path));
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        return Failure{err::PathFileAccess};
    }
    fs::path temp = target;
    temp += ".orva-tmp";
    {
        errno = 0;
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            const std::error_code open(currentErrno(), std::generic_category());
            return Failure{errorNumberFor(open, err::PathNotFound)};
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail() || !flushToDisk(temp, false)) {
            const std::error_code writeErr(currentErrno(), std::generic_category());
            std::error_code ignore;
            fs::remove(temp, ignore);
            return Failure{errorNumberFor(writeErr, err::PathFileAccess)};
        }
    }
    // The file replaced keeps who may read and write it.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old)) {
        fs::permissions(temp, old.permissions(), ec);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        return Failure{errorNumberFor(ec, err::PathFileAccess)};
    }
    // The new entry too; a folder that cannot be flushed still holds the renamed file.
    flushToDisk(target.parent_path().empty() ? fs::path(".") : target.parent_path(), true);
    return {};
}

} // namespace orva
