#include "app/CommandLine.h"

namespace orva {
namespace {

constexpr const char* kUsage =
    "Aufruf: orva-ds [--help] [--version]\n"
    "\n"
    "Liest die Zähl-Lichtschranke ORVA-DS über die serielle Schnittstelle aus.\n"
    "Einstellungen und Berichte liegen im Verzeichnis ~/ORVA-DS.\n"
    "\n"
    "  -h, --help     diese Hilfe zeigen und beenden\n"
    "      --version  die Version zeigen und beenden\n";

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return {false, 0, kUsage, {}};
        }
        if (arg == "--version") {
            return {false, 0, "orva-ds " + version + "\n", {}};
        }
        return {false,
                2,
                {},
                "orva-ds: unbekannte Option '" + arg + "'\n" +
                    "Mit 'orva-ds --help' werden die Optionen gezeigt.\n"};
    }
    return {};
}

} // namespace orva
