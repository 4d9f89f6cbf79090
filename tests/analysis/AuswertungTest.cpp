#include "Program.h"
#include "archive/ArchiveRows.h"
#include "archive/qt/SqlArchive.h"
#include "fakes/FakePlatform.h"
#include "platform/TempHome.h"
#include "sim/SimulatedDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace orva::test {
namespace {

// Empty parts kept: a text ending in `by` ends in an empty part.
std::vector<std::string> split(const std::string& s, const std::string& by) {
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = s.find(by, at);
        parts.push_back(s.substr(at, end - at));
        if (end == std::string::npos) {
            return parts;
        }
        at = end + by.size();
    }
}

using Counts = std::pair<long, long>; // "Rechts", "Links"

// The export read back strictly: (date as the report writes it, hour) -> counts.
std::map<std::pair<std::string, int>, Counts> readCsv(const std::string& csv) {
    const std::string head = "\xEF\xBB\xBF"
                             "Datum;Stunde;Rechts;Links;Summe\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    EXPECT_TRUE(csv.ends_with("\r\n"));
    std::map<std::pair<std::string, int>, Counts> rows;
    const std::regex row(R"((\d\d\.\d\d\.)(19|20)(\d\d);(\d+);(\d+);(\d+);(\d+))");
    for (const std::string& line : split(csv.substr(head.size()), "\r\n")) {
        std::smatch m;
        if (line.empty() || !std::regex_match(line, m, row)) {
            EXPECT_TRUE(line.empty()) << line;
            continue;
        }
        const Counts c{std::stol(m[5]), std::stol(m[6])};
        EXPECT_EQ(std::stol(m[7]), c.first + c.second) << line;
        rows[{m[1].str() + m[3].str(), std::stoi(m[4])}] = c;
    }
    return rows;
}

// For every golden case: whatever the report shows for a day, an hour and a direction, the
// hours a download brings to the archive hold too, in the hourly export form (an hour without
// a row counts 0), and the report's sums are their sums; what the report refuses is left out.
TEST(Export, AgreesWithTheReportOfEveryGoldenCase) {
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVA_GOLDEN_EVALUATION_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto golden = nlohmann::json::parse(std::ifstream(entry.path()));
        const CountData data = ReadCountData(golden.at("count_text").get<std::string>());
        const auto csv = readCsv(hourlyCsv(archiveHours(data, {2026, 12, 7})));
        const auto text = [&](const char* key) { return golden.at(key).get<std::string>(); };
        const std::optional<Settings> settings = parseSettings(
            text("direction") + "_Std_" + text("from_hour") + ":00_" + text("to_hour") + ":00_2");
        ASSERT_TRUE(settings);

        std::string date;
        std::vector<std::string> columns;
        std::map<std::string, long> sums;
        std::map<std::string, long> reportTotal; // date -> all columns of "Summe"
        for (std::string line : split(golden.at("expected_report").get<std::string>(), "\r\n")) {
            const auto cells = split(line.erase(0, line.find_first_not_of('\t')), "\t");
            if (line.starts_with("ORVA-DS:  Datum: ")) {
                date = line.substr(17);
                sums.clear();
            } else if (cells[0] == "Uhrzeit") {
                columns.assign(cells.begin() + 1, cells.end());
            } else if (cells[0] == "Summe" || std::regex_match(cells[0], std::regex(R"(\d\d)"))) {
                ASSERT_EQ(cells.size(), columns.size() + 1) << line;
                const auto row =
                    cells[0] == "Summe" ? csv.end() : csv.find({date, std::stoi(cells[0])});
                const Counts c = row != csv.end() ? row->second : Counts{};
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    const long exported = columns[i] == "Rechts" ? c.first : c.second;
                    if (cells[0] == "Summe") {
                        EXPECT_EQ(std::stol(cells[i + 1]), sums[columns[i]]) << date;
                        reportTotal[date] += std::stol(cells[i + 1]);
                    } else {
                        EXPECT_EQ(std::stol(cells[i + 1]), exported) << date << " " << line;
                        sums[columns[i]] += exported;
                        compared += exported != 0 ? 1 : 0;
                    }
                }
            }
        }
        for (const DayCounts& day : data.Days) {
            long exported = 0;
            int rows = 0;
            for (int h = 0; h < 24; ++h) {
                if (const auto row = csv.find({day.DateText, h}); row != csv.end()) {
                    ++rows;
                    exported +=
                        (settings->direction != CountDirection::Left ? row->second.first : 0) +
                        (settings->direction != CountDirection::Right ? row->second.second : 0);
                }
            }
            EXPECT_FALSE(day.Refused && rows > 0) << day.DateText;
            if (settings->fromHour == 0 && settings->toHour == 23 &&
                reportTotal.count(day.DateText) != 0) {
                EXPECT_EQ(reportTotal[day.DateText], exported) << day.DateText;
            }
        }
    }
    EXPECT_GT(compared, 400);
}

// Every hour of a day, or of hours `from`-`to`, with the same counts.
std::vector<ArchivedHour> hoursOf(const Date& d, long right, long left, int from = 0, int to = 23) {
    std::vector<ArchivedHour> out;
    for (int h = from; h <= to; ++h) {
        out.push_back({d, h, right, left});
    }
    return out;
}

struct SiteInMemory : SiteSetting {
    std::string site() override { return name; }
    void setSite(const std::string& n) override { name = n; }
    std::string name = kDefaultSite;
};

class ArchiveViews : public testing::Test {
protected:
    void merge(const std::string& site, const std::vector<ArchivedHour>& hours) {
        ASSERT_TRUE(std::holds_alternative<MergeSummary>(
            archive.merge(site, hours, {{2027, 1, 1}, 0, 0, 0})));
    }
    ArchiveView view(ViewGrouping grouping, CountDirection direction = CountDirection::Both,
                     const std::string& site = "") {
        auto v =
            makeArchiveView(archive, {{2026, 12, 1}, {2026, 12, 7}, grouping, direction, site});
        EXPECT_TRUE(std::holds_alternative<ArchiveView>(v));
        return std::get<ArchiveView>(v);
    }
    TempHome home;
    SqlArchive archive{(home.path() / "ORVA-Archiv.sqlite").string()};
};

// Presets at the borders of months, leap months and years; groupings the range allows.
TEST(ArchiveViewRanges, PresetsAndGroupingsFitTheCalendar) {
    using P = RangePreset;
    const std::pair<Date, Date> extent{{2019, 3, 4}, {2026, 11, 30}};
    const struct {
        P preset;
        Date today, from, to;
    } cases[] = {
        {P::Last7Days, {2027, 1, 3}, {2026, 12, 28}, {2027, 1, 3}},
        {P::ThisMonth, {2026, 3, 1}, {2026, 3, 1}, {2026, 3, 1}},
        {P::LastMonth, {2024, 3, 31}, {2024, 2, 1}, {2024, 2, 29}},
        {P::LastMonth, {2027, 1, 15}, {2026, 12, 1}, {2026, 12, 31}},
        {P::ThisYear, {2026, 12, 31}, {2026, 1, 1}, {2026, 12, 31}},
        {P::LastYear, {2027, 1, 1}, {2026, 1, 1}, {2026, 12, 31}},
        {P::All, {2027, 1, 1}, extent.first, extent.second},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(presetRange(c.preset, c.today, extent), std::pair(c.from, c.to))
            << presetName(c.preset) << " " << formatShortDate(c.today);
    }
    EXPECT_EQ(presetRange(P::All, {2027, 1, 1}, std::nullopt), std::nullopt);
    using G = ViewGrouping;
    EXPECT_EQ(fittingGrouping(G::Hour, {2026, 12, 1}, {2026, 12, 31}), G::Hour);
    EXPECT_EQ(fittingGrouping(G::Hour, {2026, 12, 1}, {2027, 1, 1}), G::Day);
    EXPECT_EQ(fittingGrouping(G::Day, {2024, 1, 1}, {2024, 12, 31}), G::Day);
    EXPECT_EQ(fittingGrouping(G::Hour, {2024, 1, 1}, {2025, 1, 1}), G::Week);
    EXPECT_EQ(yearEarlier({2024, 2, 29}), (Date{2023, 2, 28}));
}

// Two sites added up or apart, by day, ISO week and hour: a day not held is a gap with no
// number, sums say what they sum, the year before stands beside the days it has.
TEST_F(ArchiveViews, GapsSumsSitesAndTheYearBefore) {
    for (const int day : {1, 2, 4, 5, 6, 7}) {
        merge("Nord", hoursOf({2026, 12, day}, 2, 1));
    }
    merge("Süd", hoursOf({2026, 12, 1}, 1, 0));
    merge("Nord", hoursOf({2025, 12, 2}, 5, 5, 6, 18));
    merge("Nord", {{{2026, 12, 4}, 3, 1, 1}}); // lower than held: a conflict

    const ArchiveView all = view(ViewGrouping::Day);
    ASSERT_EQ(all.rows.size(), 7u);
    EXPECT_EQ(all.rows[0].total, 24 * 4);
    EXPECT_EQ(all.rows[0].period, 13 * 4);
    EXPECT_EQ(all.rows[2].days, 0);
    EXPECT_EQ(all.missing, (std::vector<Date>{Date{2026, 12, 3}}));
    EXPECT_EQ(all.total, 24 * 4 + 24 * 3 * 5);
    EXPECT_EQ(all.period, 13 * 4 + 13 * 3 * 5);
    EXPECT_EQ(all.rows[1].earlier, 130);
    EXPECT_EQ(all.rows[0].earlier, std::nullopt);
    EXPECT_EQ(all.sites, (std::vector<std::string>{"Nord", "Süd"}));
    EXPECT_TRUE(viewCsv(all).starts_with("\xEF\xBB\xBF"
                                         "Datum;Summe Tag;Summe Zeitraum;Vorjahr\r\n"
                                         "01.12.2026;96;52;\r\n"));
    EXPECT_NE(viewCsv(all).find("\r\n02.12.2026;72;39;130\r\n03.12.2026;;;\r\n"),
              std::string::npos);
    EXPECT_TRUE(viewCsv(all).ends_with("\r\nSumme;456;247;130\r\n"));
    EXPECT_EQ(gapsNote(all), "Keine Zähldaten im Archiv für 1 Tag: 03.12.2026. 1 Stunde kam "
                             "später mit kleinerem Zählerstand; der größere blieb im Archiv.");

    EXPECT_EQ(view(ViewGrouping::Day, CountDirection::Right, "Nord").rows[0].total, 48);
    EXPECT_EQ(view(ViewGrouping::Day, CountDirection::Left, "Süd").rows[0].total, 0);

    const ArchiveView weeks = view(ViewGrouping::Week, CountDirection::Left);
    ASSERT_EQ(weeks.rows.size(), 2u);
    EXPECT_EQ(weeks.rows[0].label, "KW 49/2026");
    EXPECT_EQ(weeks.rows[0].days, 5);
    EXPECT_EQ(weeks.rows[0].total, 24 * 5);
    EXPECT_EQ(weeks.rows[1].first, (Date{2026, 12, 7}));
    EXPECT_EQ(viewTable(weeks).rows.back()[3], "6"); // days held

    const ArchiveView hours = view(ViewGrouping::Hour, CountDirection::Both, "Nord");
    EXPECT_EQ(hours.rows[0].hours[5], 3);
    EXPECT_EQ(hours.rows[2].hours[5], std::nullopt);
    EXPECT_EQ(hours.rows[1].earlierHours[6], 10);
    EXPECT_EQ(hours.rows[1].earlierHours[5], std::nullopt);
    // Monday 07.12. alone: three persons in every hour.
    EXPECT_EQ(hours.profileDays[0], 1);
    EXPECT_EQ(profileTable(hours).rows[0][2 + 23], "3,0");
    EXPECT_EQ(profileTable(hours).rows[3][2], ""); // no Thursday held but 03.12.
}

struct RecordingView : ArchiveWindowView {
    explicit RecordingView(Auswertung& a) : auswertung(a) {}
    bool isOpen() override { return open; }
    void show(const ArchiveView& v) override {
        open = true;
        log.push_back("show " + days(v));
    }
    void refresh(const ArchiveView& v) override { log.push_back("refresh " + days(v)); }
    void downloadEnded() override {
        if (open) {
            auswertung.follow();
        }
    }
    static std::string days(const ArchiveView& v) {
        return std::to_string(daysBetween(v.request.from, v.request.to) - v.missing.size());
    }
    Auswertung& auswertung;
    bool open = false;
    std::vector<std::string> log;
};

// The menu works from the archive: usable before any download, the window follows downloads,
// the export writes the view or the hours and never the settings file, sites are kept apart,
// and a damaged archive gives one box that says where the old file went.
TEST_F(ArchiveViews, MenuShowsExportsAndNamesSitesFromTheArchive) {
    FakePlatform p;
    FakeWindow window;
    Program program(p.platform, window);
    SiteInMemory site;
    RecordingView view(program.auswertung);
    program.auswertung.setView(view);
    program.auswertung.setArchive(archive, site);
    program.editor.Form_Load();
    const MenuTree& menu = program.editor.menu();
    EXPECT_TRUE(menu.find("mnuTabellarisch", 0)->enabled && menu.find("mnuDatExport", 1)->enabled);
    merge(kDefaultSite, hoursOf({2026, 12, 4}, 2, 1));
    program.editor.menuClick("mnuTabellarisch(0)"); // the last 7 days up to 05.12.
    merge(kDefaultSite, hoursOf({2026, 12, 5}, 2, 1, 0, 11));
    program.auswertung.DownloadEnded(false);
    EXPECT_EQ(view.log, (std::vector<std::string>{"show 1", "refresh 2"}));

    p.dialog.files = {program.editor.module().settingsPath(), "/opt/orva/x.csv"};
    program.editor.menuClick("mnuDatExport(1)");
    ASSERT_EQ(p.dialog.requests.size(), 2u);
    EXPECT_EQ(p.dialog.requests[0].second.fileName, p.files.dataDir + "/EX0512.csv");
    EXPECT_EQ(p.files.file("/opt/orva/x.csv"), viewCsv(*program.auswertung.shown()));
    EXPECT_EQ(p.screen.status(), "Status: Die Daten wurden exportiert nach /opt/orva/x.csv");
    p.dialog.filter = 2;
    p.dialog.files = {"/opt/orva/h.csv"};
    program.editor.menuClick("mnuDatExport(1)");
    auto held = archive.hours({"", {2026, 11, 29}, {2026, 12, 5}});
    EXPECT_EQ(p.files.file("/opt/orva/h.csv"), hourlyCsv(std::get<0>(held)));

    p.screen.inputs = {" Tor 2 ", "Tor 3"};
    program.auswertung.newSite();
    EXPECT_EQ(site.name, "Tor 2");
    merge("Tor 2", hoursOf({2026, 12, 5}, 7, 7));
    program.auswertung.renameSite();
    EXPECT_EQ(site.name, "Tor 3");
    EXPECT_EQ(program.auswertung.shown()->total, 24 * 14);
    p.screen.inputs = {kDefaultSite};
    program.auswertung.renameSite(); // to a name that holds counts
    EXPECT_EQ(p.screen.boxes.back().text,
              "Den Standort „Standort 1“ gibt es schon. Bitte wählen Sie einen anderen Namen.");
    program.auswertung.chooseSite("");
    EXPECT_EQ(program.auswertung.shown()->total, 24 * 3 + 12 * 3 + 24 * 14);

    // A folder that is not there: one box for each action, naming the file.
    const std::string missing = (home.path() / "fehlt" / "ORVA-Archiv.sqlite").string();
    SqlArchive unreachable(missing);
    program.auswertung.setArchive(unreachable, site);
    const std::size_t boxes = p.screen.boxes.size();
    program.editor.menuClick("mnuTabellarisch(0)");
    p.dialog.files = {"/opt/orva/y.csv"}; // the hours of the range, read anew
    program.editor.menuClick("mnuDatExport(1)");
    EXPECT_EQ(p.files.file("/opt/orva/y.csv"), std::nullopt);
    ASSERT_EQ(p.screen.boxes.size(), boxes + 2);
    EXPECT_THAT(p.screen.boxes.back().text,
                testing::StartsWith("Das Zählarchiv „" + missing +
                                    "“ lässt sich nicht anlegen oder öffnen."));
}

} // namespace
} // namespace orva::test
