#pragma once

#include "app/CommandLine.h"
#include "archive/CountArchive.h"
#include "platform/FileSystem.h"

#include <string>

namespace orva {

// The archive's file in the data directory.
inline constexpr const char* kArchiveFileName = "ORVA-Archiv.sqlite";

// What a command-line export or import leaves: the exit status, a line for standard output on
// success, the German reason for standard error otherwise.
struct CommandOutcome {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// Runs `--export` or `--import` on `archive`; with a `server`, an export reads the server's
// archive and an import sends to the server what this PC's archive has not sent yet. An export
// takes the site's whole extent where no dates are given, and the evaluation period from the
// settings file for its grouped sums; it never writes over the settings file or the archive. An
// import takes every row of the file or none and merges them as a download taken at `now` would be.
CommandOutcome runArchiveCommand(const ArchiveCommand& command, CountArchive& archive,
                                 SiteSetting& siteSetting, FileSystem& files, const DateTime& now,
                                 CountArchive* server = nullptr);

} // namespace orva
