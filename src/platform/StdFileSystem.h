#pragma once

#include "platform/FileSystem.h"

namespace orva {

// The real file system through std::filesystem; the same on Linux and Windows.
class StdFileSystem : public FileSystem {
public:
    std::string dataDirectory() override;
    std::string currentDir() override;
    Outcome<> setCurrentDir(const std::string& dir) override;
    Outcome<> makeDirectory(const std::string& dir) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    bool fileExists(const std::string& path) override;
    Outcome<std::uintmax_t> fileSize(const std::string& path) override;
    Outcome<std::string> readFile(const std::string& path) override;
    Outcome<> writeFile(const std::string& path, std::string_view bytes) override;
};

} // namespace orva
