#pragma once

#include <string>
#include <vector>

namespace orva {

// What the command line asks for. The informational options print and end the program,
// `--trace FILE` records the serial line, anything else is refused.
struct CommandLine {
    bool run = true; // false: print `out`/`err` and exit with `exitCode`
    int exitCode = 0;
    std::string out;
    std::string err;
    std::string trace; // the line trace's file; none when empty
};

// `args` without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version);

} // namespace orva
