#include "archive/ArchiveCommand.h"

#include "app/ORVA_DS.h"
#include "app/SequentialInput.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveRows.h"
#include "archive/ArchiveServer.h"
#include "archive/CsvImport.h"
#include "platform/RunTimeError.h"

#include <algorithm>
#include <set>

namespace orva {
namespace {

CommandOutcome failed(const std::string& why) {
    return {1, {}, "orva-ds: " + why + "\n"};
}

std::string quoted(const std::string& s) {
    return "„" + s + "“";
}

template <typename N> std::string counted(N n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool before(const Date& a, const Date& b) {
    return isoDate(a) < isoDate(b);
}

std::size_t distinctDays(const std::vector<ArchivedHour>& hours) {
    std::set<std::string> days;
    for (const ArchivedHour& h : hours) {
        days.insert(isoDate(h.date));
    }
    return days.size();
}

// The evaluation period of the settings file, or the basic setting's where it cannot be read.
Settings settingsIn(FileSystem& files) {
    const std::string path = joinPath(files.dataDirectory(), kSettingsFileName);
    if (!files.fileExists(path)) {
        return Settings{};
    }
    const Outcome<std::string> text = files.readFile(path);
    if (!text) {
        return Settings{};
    }
    std::optional<std::string> line;
    forEachInputItem(*text, [&](std::string_view item) { line = item; });
    return parseSettings(line.value_or("")).value_or(Settings{});
}

CommandOutcome exportCsv(const ArchiveCommand& c, CountArchive& archive, const std::string& site,
                         FileSystem& files) {
    const std::pair<std::string, const char*> own[] = {
        {joinPath(files.dataDirectory(), kSettingsFileName), "seine Einstellungen"},
        {archive.location(), "sein Zählarchiv"}};
    for (const auto& [path, what] : own) {
        if (files.sameFile(c.file, path)) {
            return failed(std::string("unter diesem Namen speichert das Programm ") + what +
                          ". Bitte wählen Sie für den Export einen anderen Dateinamen!");
        }
    }
    if (c.server.empty() && !files.fileExists(archive.location())) {
        return failed("es gibt noch kein Zählarchiv " + quoted(archive.location()) + ".");
    }
    const auto extent = archive.extent(site);
    if (const ArchiveError* e = std::get_if<ArchiveError>(&extent)) {
        return failed(archiveErrorText(*e));
    }
    const auto& held = std::get<std::optional<std::pair<Date, Date>>>(extent);
    if (!held) {
        // A name mistyped in a scheduled job shows here: name the sites there are.
        std::string known;
        const auto sites = archive.sites();
        if (const auto* names = std::get_if<std::vector<std::string>>(&sites)) {
            for (const std::string& name : *names) {
                known += (known.empty() ? " Im Archiv stehen die Standorte " : ", ") + quoted(name);
            }
        }
        return failed("der Standort " + quoted(site) + " hat im Archiv keine Zählwerte." + known +
                      (known.empty() ? "" : "."));
    }
    ArchiveQuery query{site, c.from.value_or(held->first), c.to.value_or(held->second)};
    if (before(query.to, query.from)) { // one date given, beyond what the archive holds
        (c.from ? query.to : query.from) = c.from ? query.from : query.to;
    }
    const std::string range = formatShortDate(query.from) + " bis " + formatShortDate(query.to) +
                              ", Standort " + quoted(site);
    std::string csv;
    std::string summary;
    if (c.group == ExportGroup::Hours) {
        auto hours = archive.hours(query);
        if (const ArchiveError* e = std::get_if<ArchiveError>(&hours)) {
            return failed(archiveErrorText(*e));
        }
        const auto& rows = std::get<std::vector<ArchivedHour>>(hours);
        csv = hourlyCsv(rows);
        summary = counted(rows.size(), "Stunde", "Stunden") + " an " +
                  counted(distinctDays(rows), "Tag", "Tagen");
    } else {
        const Settings settings = settingsIn(files);
        auto days = archive.days(query, settings.fromHour, settings.toHour);
        if (const ArchiveError* e = std::get_if<ArchiveError>(&days)) {
            return failed(archiveErrorText(*e));
        }
        const auto& dayRows = std::get<std::vector<DayTotals>>(days);
        const Grouping grouping = c.group == ExportGroup::Day     ? Grouping::Day
                                  : c.group == ExportGroup::Week  ? Grouping::Week
                                  : c.group == ExportGroup::Month ? Grouping::Month
                                                                  : Grouping::Year;
        const std::vector<GroupTotals> groups = groupDays(dayRows, grouping);
        csv = groupedCsv(groups);
        summary = counted(groups.size(), "Zeile", "Zeilen") + " aus " +
                  counted(dayRows.size(), "Tag", "Tagen");
    }
    if (const Outcome<> written = files.writeFile(c.file, csv); !written) {
        return failed(quoted(c.file) +
                      " lässt sich nicht schreiben: " + runTimeErrorDescription(written.error()));
    }
    return {0, summary + " nach " + quoted(c.file) + " exportiert (" + range + ").\n", {}};
}

CommandOutcome importCsv(const ArchiveCommand& c, CountArchive& archive, const std::string& site,
                         FileSystem& files, const DateTime& now) {
    if (!files.fileExists(c.file)) {
        return failed("die Datei " + quoted(c.file) + " gibt es nicht.");
    }
    const Outcome<std::uintmax_t> size = files.fileSize(c.file);
    if (size && *size > kMaxImportBytes) {
        return failed(quoted(c.file) + " ist größer als 32 MiB und wird nicht gelesen.");
    }
    const Outcome<std::string> text = size ? files.readFile(c.file) : size.failure();
    if (!text) {
        return failed(quoted(c.file) +
                      " lässt sich nicht lesen: " + runTimeErrorDescription(text.error()));
    }
    CsvImportResult parsed = parseHourlyCsv(*text);
    if (const CsvImportError* e = std::get_if<CsvImportError>(&parsed)) {
        return failed(quoted(c.file) + " wurde nicht übernommen, nichts wurde importiert.\n" +
                      csvImportErrorText(*e));
    }
    std::vector<ArchivedHour>& rows = std::get<std::vector<ArchivedHour>>(parsed);
    std::sort(rows.begin(), rows.end(), [](const ArchivedHour& a, const ArchivedHour& b) {
        return before(a.date, b.date) || (a.date == b.date && a.hour < b.hour);
    });
    if (const Outcome<> made = files.makeDirectory(files.dataDirectory()); !made) {
        return failed("das Datenverzeichnis " + quoted(files.dataDirectory()) +
                      " lässt sich nicht anlegen: " + runTimeErrorDescription(made.error()));
    }
    const auto merged = archive.merge(site, rows, now);
    if (const ArchiveError* e = std::get_if<ArchiveError>(&merged)) {
        return failed(archiveErrorText(*e));
    }
    const MergeSummary& m = std::get<MergeSummary>(merged);
    std::string out = counted(rows.size(), "Stunde", "Stunden") + " an " +
                      counted(distinctDays(rows), "Tag", "Tagen") + " aus " + quoted(c.file) +
                      " in das Archiv übernommen (Standort " + quoted(site) +
                      "): " + std::to_string(m.added) + " neu, " + std::to_string(m.changed) +
                      " geändert, " + counted(m.conflicts, "Konflikt", "Konflikte") + ".\n";
    if (m.conflicts > 0) {
        out += "Bei Konflikten ist der Zählwert einer vergangenen Stunde kleiner als im Archiv; "
               "der archivierte Wert bleibt.\n";
    }
    return {0, out, {}};
}

} // namespace

CommandOutcome runArchiveCommand(const ArchiveCommand& command, CountArchive& archive,
                                 SiteSetting& siteSetting, FileSystem& files, const DateTime& now,
                                 CountArchive* server) {
    const std::string site =
        command.allSites ? std::string() : command.site.value_or(siteSetting.site());
    if (command.action != ArchiveAction::Import) {
        return exportCsv(command, server != nullptr ? *server : archive, site, files);
    }
    CommandOutcome outcome = importCsv(command, archive, site, files, now);
    if (outcome.exitCode != 0 || server == nullptr) {
        return outcome;
    }
    // Local first: what the server does not take now waits in this PC's archive.
    const SendResult sent = sendPending(archive, *server);
    if (sent.error) {
        return {1, outcome.out,
                "orva-ds: " + archiveErrorText(*sent.error) + "\n" + waitingText(sent.waiting) +
                    "\n"};
    }
    outcome.out += std::to_string(sent.sent) + (sent.sent == 1 ? " Abruf" : " Abrufe") +
                   " an den Archiv-Server gesendet.\n";
    return outcome;
}

} // namespace orva
