#include "app/CommandLine.h"

namespace orva {
namespace {

constexpr const char* kUsage =
    "Aufruf: orva-ds [--help] [--version] [--trace DATEI]\n"
    "\n"
    "Liest die Zähl-Lichtschranke ORVA-DS über die serielle Schnittstelle aus.\n"
    "Einstellungen und Berichte liegen im Verzeichnis ~/ORVA-DS.\n"
    "\n"
    "  -h, --help     diese Hilfe zeigen und beenden\n"
    "      --version  die Version zeigen und beenden\n"
    "      --trace DATEI  jedes Byte auf der seriellen Leitung an DATEI anhängen\n"
    "                 (ebenso über die Umgebungsvariable ORVA_DS_TRACE)\n";

CommandLine refused(const std::string& why) {
    return {false,
            2,
            {},
            "orva-ds: " + why + "\nMit 'orva-ds --help' werden die Optionen gezeigt.\n",
            {}};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return {false, 0, kUsage, {}, {}};
        }
        if (arg == "--version") {
            return {false, 0, "orva-ds " + version + "\n", {}, {}};
        }
        if (arg == "--trace" || arg.starts_with("--trace=")) {
            cl.trace = arg == "--trace" ? (i + 1 < args.size() ? args[++i] : "") : arg.substr(8);
            if (cl.trace.empty()) {
                return refused("--trace braucht einen Dateinamen");
            }
            continue;
        }
        return refused("unbekannte Option '" + arg + "'");
    }
    return cl;
}

} // namespace orva
