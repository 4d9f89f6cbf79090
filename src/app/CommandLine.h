#pragma once

#include <string>
#include <vector>

namespace orva {

// What the command line asks for. The program takes no options that change its behaviour;
// the informational ones print and end it, anything else is refused.
struct CommandLine {
    bool run = true; // false: print `out`/`err` and exit with `exitCode`
    int exitCode = 0;
    std::string out;
    std::string err;
};

// `args` without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version);

} // namespace orva
