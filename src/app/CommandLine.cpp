#include "app/CommandLine.h"

#include <tuple>

namespace orva {
namespace {

constexpr const char* kUsage =
    "Aufruf: orva-ds [--help] [--version] [--trace DATEI]\n"
    "        orva-ds --export DATEI [--from DATUM] [--to DATUM] [--site NAME | --all-sites]\n"
    "                [--group day|week|month|year] [--server VERBINDUNG]\n"
    "        orva-ds --import DATEI [--site NAME] [--server VERBINDUNG]\n"
    "\n"
    "Liest die Zähl-Lichtschranke ORVA-DS über die serielle Schnittstelle aus.\n"
    "Einstellungen, Berichte und das Zählarchiv ORVA-Archiv.sqlite liegen im Verzeichnis\n"
    "~/ORVA-DS.\n"
    "\n"
    "  -h, --help     diese Hilfe zeigen und beenden\n"
    "      --version  die Version zeigen und beenden\n"
    "      --trace DATEI  jedes Byte auf der seriellen Leitung an DATEI anhängen\n"
    "                 (ebenso über die Umgebungsvariable ORVA_DS_TRACE)\n"
    "      --export DATEI  die Zählwerte des Archivs als CSV in DATEI schreiben und beenden,\n"
    "                 ohne Fenster: je Stunde (Datum;Stunde;Rechts;Links;Summe) oder mit\n"
    "                 --group je Tag, Woche, Monat oder Jahr\n"
    "      --import DATEI  eine CSV-Datei je Stunde (wie sie --export und \"Daten\n"
    "                 E&xportieren\" schreiben) in das Archiv übernehmen und beenden;\n"
    "                 eine Datei mit einer fehlerhaften Zeile wird ganz abgewiesen\n"
    "      --from DATUM, --to DATUM  erster und letzter Tag des Exports (TT.MM.JJJJ);\n"
    "                 ohne sie alles, was das Archiv hält\n"
    "      --site NAME  der Standort für Export oder Import; ohne ihn der eingestellte\n"
    "      --all-sites  exportiert die Summe aller Standorte\n"
    "      --group day|week|month|year  summiert je Tag, ISO-Woche, Monat oder Jahr\n"
    "      --server VERBINDUNG  das zentrale Archiv auf einem PostgreSQL-Server (libpq-\n"
    "                 Verbindungsangabe oder 'service=NAME'; das Passwort steht in ~/.pgpass):\n"
    "                 --import übernimmt in das Archiv dieses PCs und sendet dann an den\n"
    "                 Server, --export liest das Archiv des Servers\n"
    "\n"
    "Export und Import enden mit dem Status 0, wenn sie gelungen sind, sonst mit 1 und einer\n"
    "Meldung; eine falsche Option endet mit dem Status 2.\n";

CommandLine refused(const std::string& why) {
    CommandLine cl{false, 2, {}, {}, {}, {}};
    cl.err = "orva-ds: " + why + "\nMit 'orva-ds --help' werden die Optionen gezeigt.\n";
    return cl;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& version) {
    CommandLine cl;
    ArchiveCommand& a = cl.archive;
    bool fromGiven = false;
    bool groupGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return {false, 0, kUsage, {}, {}, {}};
        }
        if (arg == "--version") {
            return {false, 0, "orva-ds " + version + "\n", {}, {}, {}};
        }
        // "--name VALUE" or "--name=VALUE"; false when `arg` is not that option.
        std::string value;
        const auto takes = [&](const std::string& name) {
            if (arg == name) {
                value = i + 1 < args.size() && !args[i + 1].starts_with("--") ? args[++i] : "";
                return true;
            }
            if (arg.starts_with(name + "=")) {
                value = arg.substr(name.size() + 1);
                return true;
            }
            return false;
        };
        if (takes("--trace")) {
            if (value.empty()) {
                return refused("--trace braucht einen Dateinamen");
            }
            cl.trace = value;
        } else if (takes("--export") || takes("--import")) {
            const bool exporting = arg.starts_with("--export");
            const std::string name = exporting ? "--export" : "--import";
            if (value.empty()) {
                return refused(name + " braucht einen Dateinamen");
            }
            const ArchiveAction action = exporting ? ArchiveAction::Export : ArchiveAction::Import;
            if (a.action != ArchiveAction::None && a.action != action) {
                return refused("--export und --import gehen nur getrennt");
            }
            a.action = action;
            a.file = value;
        } else if (takes("--from") || takes("--to")) {
            const bool from = arg.starts_with("--from");
            const std::optional<Date> date = parseFullDate(value);
            if (!date) {
                return refused(std::string(from ? "--from" : "--to") + " braucht ein Datum " +
                               "TT.MM.JJJJ, nicht '" + value + "'");
            }
            (from ? a.from : a.to) = date;
            fromGiven = true;
        } else if (takes("--site")) {
            if (value.find_first_not_of(' ') == std::string::npos) {
                return refused("--site braucht den Namen eines Standorts");
            }
            a.site = value;
        } else if (takes("--server")) {
            if (value.empty()) {
                return refused("--server braucht eine Verbindungsangabe, z. B. 'service=orva'");
            }
            a.server = value;
        } else if (arg == "--all-sites") {
            a.allSites = true;
        } else if (takes("--group")) {
            const std::pair<const char*, ExportGroup> groups[] = {{"day", ExportGroup::Day},
                                                                  {"week", ExportGroup::Week},
                                                                  {"month", ExportGroup::Month},
                                                                  {"year", ExportGroup::Year}};
            bool known = false;
            for (const auto& [word, group] : groups) {
                if (value == word) {
                    a.group = group;
                    known = true;
                }
            }
            if (!known) {
                return refused("--group braucht day, week, month oder year, nicht '" + value + "'");
            }
            groupGiven = true;
        } else {
            return refused("unbekannte Option '" + arg + "'");
        }
    }
    if ((fromGiven || groupGiven) && a.action != ArchiveAction::Export) {
        return refused("--from, --to und --group gelten nur mit --export");
    }
    if (a.site && a.action == ArchiveAction::None) {
        return refused("--site gilt nur mit --export oder --import");
    }
    if (!a.server.empty() && a.action == ArchiveAction::None) {
        return refused("--server gilt nur mit --export oder --import");
    }
    if (a.allSites && (a.action != ArchiveAction::Export || a.site)) {
        return refused("--all-sites gilt nur mit --export und ohne --site");
    }
    if (a.from && a.to &&
        std::tie(a.to->year, a.to->month, a.to->day) <
            std::tie(a.from->year, a.from->month, a.from->day)) {
        return refused("--from liegt nach --to");
    }
    return cl;
}

} // namespace orva
