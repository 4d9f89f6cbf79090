#pragma once

#include "platform/Outcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orva {

// Files and folders. Relative names resolve against the current directory. A failure carries
// its run-time error number (53 file not found, 61 disk full, 70 permission denied, 71 disk not
// ready, 75 path/file access, 76 path not found).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The data directory: C:\ORVA-DS on Windows, $HOME/ORVA-DS elsewhere.
    virtual std::string dataDirectory() = 0;
    virtual std::string currentDir() = 0;
    virtual Outcome<> setCurrentDir(const std::string& dir) = 0;
    // Creates the folder when it is missing (its parent must exist).
    virtual Outcome<> makeDirectory(const std::string& dir) = 0;
    // True when both names lead to the same file, whether it exists or not.
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Size in bytes of an existing file.
    virtual Outcome<std::uintmax_t> fileSize(const std::string& path) = 0;
    // The whole file as bytes.
    virtual Outcome<std::string> readFile(const std::string& path) = 0;
    // Replaces the file with these bytes, whole or not at all.
    virtual Outcome<> writeFile(const std::string& path, std::string_view bytes) = 0;
};

// `name` in `dir` ("dir/name"; a name that is already absolute stays as it is).
std::string joinPath(const std::string& dir, const std::string& name);

} // namespace orva
