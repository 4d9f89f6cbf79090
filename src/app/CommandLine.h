#pragma once

#include "platform/GermanDate.h"

#include <optional>
#include <string>
#include <vector>

namespace orva {

enum class ArchiveAction { None, Export, Import };
// The rows of an export: hours, or days added up by day, ISO week, month or year.
enum class ExportGroup { Hours, Day, Week, Month, Year };

// An export or import of the count archive, run without a window.
struct ArchiveCommand {
    ArchiveAction action = ArchiveAction::None;
    std::string file;
    std::optional<Date> from;        // the archive's first day when none
    std::optional<Date> to;          // its last day when none
    std::optional<std::string> site; // the site in force when none
    ExportGroup group = ExportGroup::Hours;
    bool allSites = false; // an export of every site added up
    std::string server;    // the central archive's connection string; none when empty
};

// What the command line asks for. The informational options print and end the program,
// `--trace FILE` records the serial line, `--export` and `--import` work on the archive and end,
// anything else is refused.
struct CommandLine {
    bool run = true; // false: print `out`/`err` and exit with `exitCode`
    int exitCode = 0;
    std::string out;
    std::string err;
    std::string trace; // the line trace's file; none when empty
    ArchiveCommand archive;
};

// `args` without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version);

} // namespace orva
