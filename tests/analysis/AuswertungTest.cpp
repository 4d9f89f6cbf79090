#include "Program.h"
#include "fakes/FakePlatform.h"
#include "sim/SimulatedDevice.h"

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
// export holds too (an hour without a row counts 0), and the report's sums and the table's day
// totals are the export's sums; what the report refuses is not exported.
TEST(Export, AgreesWithTheReportOfEveryGoldenCase) {
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVA_GOLDEN_EVALUATION_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto golden = nlohmann::json::parse(std::ifstream(entry.path()));
        const CountData data = ReadCountData(golden.at("count_text").get<std::string>());
        const auto csv = readCsv(ExportCsv(data, {2026, 12, 7}));
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
        const CountTable table = MakeCountTable(data, *settings, {2026, 12, 7});
        for (const DayCounts& day : data.Days) {
            long exported = 0;
            int rows = 0;
            for (int h = 0; h < 24; ++h) {
                if (const auto row = csv.find({day.DateText, h}); row != csv.end()) {
                    ++rows;
                    exported += (table.Direction != CountDirection::Left ? row->second.first : 0) +
                                (table.Direction != CountDirection::Right ? row->second.second : 0);
                }
            }
            EXPECT_TRUE(day.Refused ? rows == 0 : DayTotal(day, table.Direction) == exported)
                << day.DateText;
            if (table.Period == std::pair(0, 23) && reportTotal.count(day.DateText) != 0) {
                EXPECT_EQ(DayTotal(day, table.Direction), reportTotal[day.DateText]);
            }
        }
    }
    EXPECT_GT(compared, 400);
}

// Each record left out counts once: an incomplete one for hour 24 too, none of a refused day;
// the note names what the report leaves out.
TEST(CountTable, CountsEachLeftOutRecordOnce) {
    const std::string next(12, '0');
    const CountData data = ReadCountData(next + "5E0C1D001800050006001900010001" + next +
                                         "5E0C1E000500" + next + "5E0C1F001800050006001800" + next);
    EXPECT_EQ(MakeCountTable(data, {}, {}).LeftOutRecords, 3);
    const CountData other = ReadCountData("000000000000190A06001800010002000500030004000700"
                                          "000000000000190A07001900010001000000000000000000");
    EXPECT_EQ(LeftOutNote(MakeCountTable(other, {}, {})),
              "Ausgelassen wie im Bericht: 1 Tagesblock mit Stunde über 24, 2 Datensätze "
              "unvollständig oder für Stunde 24.");
}

struct RecordingView : CountTableView {
    void show(const CountTable& t) override { log.push_back("show " + days(t)); }
    void refresh(const CountTable& t) override { log.push_back("refresh " + days(t)); }
    void close() override { log.emplace_back("close"); }
    static std::string days(const CountTable& t) { return std::to_string(t.Days.size()); }
    std::vector<std::string> log;
};

TEST(AuswertungMenu, UsableOnlyWithTheCountsOfTheLastSuccessfulDownload) {
    FakePlatform p;
    FakeWindow window;
    Program program(p.platform, window);
    SimulatedDevice device(p);
    RecordingView view;
    program.auswertung.setView(view);
    program.editor.Form_Load();
    device.barrier.memory = sim::generateDays({2026, 12, 5}, 4, 11);
    const MenuTree& menu = program.editor.menu();
    const auto usable = [&] {
        EXPECT_EQ(menu.find("mnuTabellarisch", 0)->enabled, menu.find("mnuDatExport", 1)->enabled);
        return menu.find("mnuAusw")->enabled && menu.find("mnuTabellarisch", 0)->enabled;
    };
    EXPECT_FALSE(usable());
    p.dialog.files = {std::nullopt}; // the report is not saved
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_TRUE(usable());
    program.editor.menuClick("mnuTabellarisch(0)");
    program.editor.menuClick("mnuZählrU(1)");

    // The settings file is refused and asked again; a cancelled export writes nothing.
    p.dialog.files = {program.editor.module().settingsPath(), std::nullopt};
    const int writes = p.files.writes;
    program.editor.menuClick("mnuDatExport(1)");
    EXPECT_EQ(p.files.writes, writes);
    ASSERT_EQ(p.dialog.requests.size(), 3u);
    EXPECT_EQ(p.dialog.requests[1].second.fileName, p.files.dataDir + "/EX0512.csv");
    // Not shown as an opened report's path; "Speichern" still writes the report.
    p.dialog.files = {"/opt/orva/x.csv"};
    program.editor.menuClick("mnuDatExport(1)");
    EXPECT_EQ(p.screen.status(), "Status: Die Daten wurden exportiert nach /opt/orva/x.csv");
    program.editor.menuClick("mnuDateiU(1)");
    EXPECT_NE(p.files.file("AD0512.txt"), std::nullopt);

    device.barrier.faults.silentWakeUps = 3;
    program.editor.menuClick("mnuTagesDaten");
    EXPECT_FALSE(usable());
    program.editor.menuClick("mnuDatExport(1)");
    EXPECT_EQ(p.dialog.requests.size(), 4u);
    EXPECT_EQ(view.log, (std::vector<std::string>{"refresh 4", "show 4", "refresh 4", "close"}));
}

} // namespace
} // namespace orva::test
