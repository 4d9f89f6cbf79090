#include "evaluation/Evaluation.h"
#include "acquisition/Downloads.h"
#include "fakes/FakePlatform.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace orva::test {
namespace {

// The report function with the settings and the carry-over of one report to the next.
struct EvaluationRig {
    std::string report(const std::string& countText) {
        last = MakeReport(countText, settings, carry);
        carry = last.CarryOver;
        return last.ReportText;
    }

    ReportSettings settings{"Beide_", "06", "18", "\r\n"};
    ReportCarryOver carry;
    Report last;
};

// Numbers of the run-time error boxes shown so far; each must be the generic report.
std::vector<int> errorNumbers(const FakeScreen& screen) {
    std::vector<int> numbers;
    for (const auto& box : screen.boxes) {
        const auto at = box.text.find("    Fehlernummer ");
        const int n = at == std::string::npos ? -1 : std::atoi(box.text.c_str() + at + 17);
        EXPECT_EQ(box.text, runTimeErrorDescription(n) + "    Fehlernummer " + std::to_string(n) +
                                " aufgetreten! ");
        numbers.push_back(n);
    }
    return numbers;
}

const std::string kSeparator(12, '0');
const std::string kEnd(18, '0');
const std::string kDate = "5E0C1F";           // 31.12.94
const std::string kRecord13 = "000D00250007"; // hour 13: "Rechts" 37, "Links" 7
const std::string kDateLine = "ORVA-DS:  Datum: 31.12.94";
const std::string kDashes(23, '-');

std::string day(const std::string& date, const std::string& records) {
    return kSeparator + date + records;
}

// The report's lines without the two header lines, TABs as blanks.
std::vector<std::string> tableLines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        std::erase(line, '\r');
        std::replace(line.begin(), line.end(), '\t', ' ');
        line.erase(0, line.find_first_not_of(' '));
        if (!line.empty() && line != "Personen" && !line.starts_with("Uhrzeit")) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(HexToDecimal, ConvertsGroupByGroupAndReportsAnIncompleteOne) {
    struct Case {
        std::string text;
        std::int16_t width;
        std::string decimal;
        std::vector<int> errors;
    };
    const Case cases[] = {
        {"", 2, "", {}},
        {"5E0C1F", 2, "941231", {}},
        {"000D00250007", 4, "000130003700007", {}},
        {"FF", 2, "255", {}},
        {"FFFF", 4, "65535", {}},
        {"0a", 2, "00", {}},      // lower case is skipped, not converted
        {"1a00", 4, "00256", {}}, // the two bytes of a word are converted one by one
        {"5E0C1", 2, "9412", {err::InvalidProcedureCall}},
        {"000D00", 4, "00013", {err::InvalidProcedureCall}},
        {"5E", 0, "", {err::InvalidProcedureCall}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " width " + std::to_string(c.width));
        const Conversion result = HexToDecimal(c.text, c.width);
        EXPECT_EQ(result.DecimalText, c.decimal);
        EXPECT_EQ(result.error == 0 ? std::vector<int>{} : std::vector{result.error}, c.errors);
    }
}

// Where day blocks begin and end: the same days must give the same report.
TEST(DayBlocks, AreFoundOnlyAtBlockPositionsAndClosedByTheNextOne) {
    const std::string a = day(kDate, kRecord13);
    const std::string b = day("5E0C1E", "000E00010002");
    struct Case {
        std::string name;
        std::string countText;
        std::string sameAs;
    };
    const Case cases[] = {
        {"text before the first separator", "ABCDEF" + a + kEnd, a + kEnd},
        {"text after the end marker", a + kEnd + b + kEnd, a + kEnd},
        {"no end marker", a + b, a + kEnd},
        {"skipped date between", a + day("5E0101", kRecord13) + b + kEnd, a + b + kEnd},
        {"separators off the block positions", "5E0" + a + kEnd, ""},
        {"no separator", kDate + kRecord13 + "0123456789ABCDEF", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EvaluationRig rig;
        const std::string expected = rig.report(c.sameAs);
        EXPECT_EQ(expected.empty(), c.sameAs.empty());
        EXPECT_EQ(rig.report(c.countText), expected);
        EXPECT_TRUE(rig.last.Errors.empty());
    }
}

TEST(DayBlocks, TwelveZerosAtABlockPositionInsideARecordStartANewDay) {
    EvaluationRig rig;
    rig.settings.WindowFromHour = "00";
    rig.settings.WindowToHour = "23";
    // The second record (hour 0, both counts 0) is a separator; 5E0C1E is then a date.
    const auto lines = tableLines(
        rig.report(day(kDate, kRecord13 + "000000000000" + "5E0C1E" + kRecord13) + kEnd));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const auto& l) { return l.starts_with("ORVA-DS:"); }),
              2);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ORVA-DS:  Datum: 30.12.94"), lines.end());

    // Twelve zeros across a record boundary, off the block positions, are just counts.
    const auto one =
        tableLines(rig.report(day(kDate, "000D00250000" + std::string("00000000000F")) + kEnd));
    EXPECT_EQ(std::count(one.begin(), one.end(), kDateLine), 1);
    EXPECT_NE(std::find(one.begin(), one.end(), "00 0 15"), one.end());
}

TEST(EvaluateDayBlock, EdgeCasesOfRecordsPeriodAndDirection) {
    using Hour = std::optional<std::string>;
    struct Case {
        std::string name;
        std::string direction;
        Hour from, to;
        std::string records;
        std::vector<std::string> lines; // empty: the block adds nothing
        std::vector<int> errors;
    };
    // clang-format off
    const Case cases[] = {
        {"no records, period not even read", "Beide_", "ab", "ab", "",
         {kDateLine, "Es sind keine Zähldaten vorhanden"}, {}},
        {"hour 24 is neither shown nor summed", "Beide_", "23", "24", "001800050006",
         {kDateLine, "23 0 0", kDashes, "Summe 0 0"}, {}},
        {"hour from the last two decimal digits", "Rechts", "13", "13", "007100050006",
         {kDateLine, "13 5", "Summe 5"}, {}},
        {"lower-case digits give wrong values", "Links_", "00", "00", "000d00250007",
         {kDateLine, "00 7", "Summe 7"}, {}},
        {"sums beyond 16 bits", "Beide_", "12", "13", "000CFFFFFFFF000DFFFFFFFF",
         {kDateLine, "12 65535 65535", "13 65535 65535", kDashes, "Summe 131070 131070"}, {}},
        {"period never read counts as 0", "Beide_", std::nullopt, std::nullopt, "000000030004",
         {kDateLine, "00 3 4", kDashes, "Summe 3 4"}, {}},
        {"period hours with blank and sign", "Rechts", " -1", "+0", "000000030004",
         {kDateLine, "00 3", "Summe 3"}, {}},
        {"period ends before it starts", "Beide_", "18", "06", kRecord13, {kDateLine}, {}},
        {"unknown direction", "beide_", "00", "23", kRecord13, {kDateLine}, {}},
        {"hour 25", "Beide_", "06", "18", kRecord13 + "001900010001", {},
         {err::SubscriptOutOfRange}},
        {"hour 125", "Beide_", "06", "18", "007D00010001", {}, {err::SubscriptOutOfRange}},
        {"period hour no number", "Beide_", "1a", "18", kRecord13, {}, {err::TypeMismatch}},
        {"period hour empty", "Beide_", "06", "", kRecord13, {}, {err::TypeMismatch}},
        {"incomplete record outside the period", "Beide_", "13", "13", kRecord13 + "000300",
         {kDateLine, "13 37 7", kDashes, "Summe 37 7"}, {err::InvalidProcedureCall}},
        {"incomplete record for hour 24", "Links_", "13", "13", kRecord13 + "001800",
         {kDateLine, "13 7", "Summe 7"}, {err::InvalidProcedureCall}},
        {"incomplete record inside the period", "Beide_", "13", "13", kRecord13 + "000D00", {},
         {err::InvalidProcedureCall, err::TypeMismatch}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EvaluationRig rig;
        rig.settings = {c.direction, c.from, c.to, "\r\n"};
        // The day after another: a failing one leaves the earlier one's table alone.
        const std::string earlier = rig.report(day("5E0C1E", "") + kEnd);
        const std::string both = rig.report(day("5E0C1E", "") + day(kDate, c.records) + kEnd);
        ASSERT_TRUE(both.starts_with(earlier));
        EXPECT_EQ(tableLines(both.substr(earlier.size())), c.lines);
        EXPECT_EQ(rig.last.Errors, c.errors);
    }
}

TEST(EvaluateDayBlock, WideDateBytes) {
    EvaluationRig rig;
    // Three digits for the year byte shift the fixed positions of the date text "2551231".
    EXPECT_TRUE(
        rig.report(day("FF0C1F", "") + kEnd).starts_with("\tORVA-DS:  Datum: 23.51.25\r\n"));
}

// The counts as another window reads them: hours of a day without a record count 0, row 24
// is kept and carried to the next report, and refused records and days are counted.
TEST(CountData, DaysHoursAndRow24AsNumbers) {
    const CountData data = ReadCountData(day(kDate, kRecord13 + "001800050006") +
                                         day("5E0C1E", "000100010001" + std::string("000D00")) +
                                         day("5E0101", "") + day("5E0C1D", "0019") + kEnd);
    ASSERT_EQ(data.Days.size(), 3u);
    EXPECT_EQ(data.Days[0].DateText, "31.12.94");
    EXPECT_EQ(data.Days[0].Hours[13].Right, 37);
    EXPECT_EQ(data.Days[1].Hours[13].Right, std::nullopt);
    EXPECT_EQ(data.Days[1].Hours[1].Left, 1);
    EXPECT_EQ(data.Days[1].Hours[2].Left, 0);
    EXPECT_TRUE(data.Days[2].Refused);
    EXPECT_EQ(data.RefusedBlocks, 1);
    EXPECT_EQ(data.RefusedRecords, 1);
    EvaluationRig rig;
    rig.report(day(kDate, kRecord13 + "001800050006") + day("5E0C1E", "000100010001") + kEnd);
    ASSERT_TRUE(rig.carry.Hour24);
    EXPECT_EQ(rig.carry.Hour24->Left, 6);
}

TEST(ChosenHeader, IsWrittenAgainByATableWithoutHoursEvenInALaterReport) {
    EvaluationRig rig;
    rig.settings = {"Beide_", "18", "06", "\r\n"};
    EXPECT_EQ(rig.report(day(kDate, kRecord13) + kEnd), "\t" + kDateLine + "\r\n\r\n\r\n");

    rig.settings = {"Links_", "13", "13", "\r\n"};
    rig.report(day(kDate, kRecord13) + kEnd);
    rig.settings = {"Beide_", "18", "06", "\r\n"};
    EXPECT_EQ(rig.report(day(kDate, kRecord13) + kEnd),
              "\t" + kDateLine + "\r\n\t\tPersonen\r\n\tUhrzeit\tLinks\r\n\r\n\r\n");
}

// The program's report: in the text area, the errors as boxes in the order met; a text area
// that fails is reported and the command goes on.
TEST(BuildReport, ShowsTheReportAndTheErrorsAndSurvivesAFailingTextArea) {
    struct BrokenTextArea : FakeTextArea {
        void setText(const std::string& t) override {
            FakeTextArea::setText(t);
            throw RunTimeError(7);
        }
    } broken;
    FakePlatform fake;
    ORVA_DS state;
    state.CountText = day(kDate, kRecord13 + "001900010001") + day(kDate, kRecord13) +
                      day(kDate, "000D00") + kEnd;
    state.CountDirection = "Beide_";
    state.NewLine = "\r\n";
    state.WindowFromHour = state.WindowToHour = "13";
    OrvaModule module{state, fake.platform};
    Evaluation{state, module, broken}.BuildReport();
    EXPECT_EQ(
        errorNumbers(fake.screen),
        (std::vector{err::SubscriptOutOfRange, err::InvalidProcedureCall, err::TypeMismatch, 7}));
    EXPECT_EQ(fake.screen.pointer(), Pointer::Hourglass);
    EXPECT_EQ(tableLines(broken.value),
              (std::vector<std::string>{kDateLine, "13 37 7", kDashes, "Summe 37 7"}));
}

std::optional<std::string> optionalText(const nlohmann::json& value) {
    if (value.is_null()) {
        return std::nullopt;
    }
    return value.get<std::string>();
}

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[3];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

// Each file is one download's evaluation: count text and settings in, report, saved file,
// error boxes and the header carried to the next report out.
TEST(GoldenReport, EveryCaseMatchesByteForByte) {
    const std::map<std::string, int> errorNumber = {
        {"invalid procedure call", err::InvalidProcedureCall},
        {"subscript out of range", err::SubscriptOutOfRange},
        {"type mismatch", err::TypeMismatch}};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(ORVA_GOLDEN_EVALUATION_DIR)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);

    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const auto golden = nlohmann::json::parse(std::ifstream(file));
        const ReportSettings settings{golden.at("direction").get<std::string>(),
                                      optionalText(golden.at("from_hour")),
                                      optionalText(golden.at("to_hour")), "\r\n"};
        const ReportCarryOver before{optionalText(golden.at("previous_header")).value_or(""),
                                     std::nullopt};

        const Report report =
            MakeReport(golden.at("count_text").get<std::string>(), settings, before);

        EXPECT_EQ(report.ReportText, golden.at("expected_report").get<std::string>());
        EXPECT_EQ(hex(utf8ToCp1252(report.ReportText + "\r\n")),
                  golden.at("expected_file_bytes_hex").get<std::string>());
        std::vector<int> expectedErrors;
        for (const auto& name : golden.at("expected_errors")) {
            expectedErrors.push_back(errorNumber.at(name.get<std::string>()));
        }
        EXPECT_EQ(report.Errors, expectedErrors);
        EXPECT_EQ(report.CarryOver.ChosenHeader,
                  optionalText(golden.at("expected_chosen_header_after")).value_or(""));
    }
}

} // namespace
} // namespace orva::test
