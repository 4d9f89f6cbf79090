#include "evaluation/Evaluation.h"
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

// The evaluation with the state it shares, on fake screen and text area.
struct EvaluationRig {
    EvaluationRig() {
        state.NewLine = "\r\n";
        state.CountDirection = "Beide_";
        state.WindowFromHour = "06";
        state.WindowToHour = "18";
    }

    std::string report(const std::string& countText) {
        state.CountText = countText;
        eval.BuildReport();
        return state.ReportText;
    }

    // Numbers of the run-time error boxes shown so far; each must be the generic report.
    std::vector<int> errorNumbers() const {
        std::vector<int> numbers;
        for (const auto& box : fake.screen.boxes) {
            const auto at = box.text.find("    Fehlernummer ");
            const int n = at == std::string::npos ? -1 : std::atoi(box.text.c_str() + at + 17);
            EXPECT_EQ(box.text, runTimeErrorDescription(n) + "    Fehlernummer " +
                                    std::to_string(n) + " aufgetreten! ");
            numbers.push_back(n);
        }
        return numbers;
    }

    FakePlatform fake;
    ORVA_DS state;
    EditorVariables vars;
    OrvaModule module{state, fake.platform};
    Evaluation eval{state, vars, module, fake.text};
};

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
        EvaluationRig rig;
        rig.vars.HexGroupWidth = c.width;
        rig.eval.HexToDecimal(c.text);
        EXPECT_EQ(rig.vars.DecimalText, c.decimal);
        EXPECT_EQ(rig.vars.LineBreak, "\n");
        EXPECT_EQ(rig.errorNumbers(), c.errors);
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
        EXPECT_EQ(rig.fake.text.value, expected);
        EXPECT_TRUE(rig.fake.screen.boxes.empty());
    }
}

TEST(DayBlocks, TwelveZerosAtABlockPositionInsideARecordStartANewDay) {
    EvaluationRig rig;
    rig.state.WindowFromHour = "00";
    rig.state.WindowToHour = "23";
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
        rig.state.CountDirection = c.direction;
        rig.state.WindowFromHour = c.from;
        rig.state.WindowToHour = c.to;
        rig.eval.Pieces = {"\r\n\r\n", "\t\t" + kDashes + "\r\n", "", "", ""};
        const std::string earlier = "\tearlier days\r\n";
        rig.state.ReportText = earlier;
        rig.eval.DayBlockText = kSeparator + kDate + c.records;
        rig.eval.EvaluateDayBlock();
        ASSERT_TRUE(rig.state.ReportText.starts_with(earlier));
        EXPECT_EQ(tableLines(rig.state.ReportText.substr(earlier.size())), c.lines);
        EXPECT_EQ(rig.errorNumbers(), c.errors);
        EXPECT_EQ(rig.eval.DayBlockText.empty(), !c.lines.empty()); // kept when the block failed
    }
}

TEST(EvaluateDayBlock, ShortBlockAndWideDateBytes) {
    EvaluationRig rig;
    rig.eval.DayBlockText = kSeparator;
    rig.eval.EvaluateDayBlock();
    EXPECT_EQ(rig.state.ReportText, "");
    EXPECT_EQ(rig.errorNumbers(), std::vector{err::InvalidProcedureCall});

    // Three digits for the year byte shift the fixed positions of the date text "2551231".
    EXPECT_TRUE(
        rig.report(day("FF0C1F", "") + kEnd).starts_with("\tORVA-DS:  Datum: 23.51.25\r\n"));
}

TEST(HourTable, RowsOfTheDayAreResetButRow24CarriesOver) {
    EvaluationRig rig;
    rig.report(day(kDate, kRecord13 + "001800050006") + day("5E0C1E", "000100010001") + kEnd);
    EXPECT_EQ(rig.eval.HourTable[13].Right, "0");
    EXPECT_EQ(rig.eval.HourTable[1].Left, "00001");
    EXPECT_EQ(rig.eval.HourTable[24].Hour, "24");
    EXPECT_EQ(rig.eval.HourTable[24].Left, "00006");
}

TEST(ChosenHeader, IsWrittenAgainByATableWithoutHoursEvenInALaterReport) {
    EvaluationRig rig;
    rig.state.WindowFromHour = "18";
    rig.state.WindowToHour = "06";
    EXPECT_EQ(rig.report(day(kDate, kRecord13) + kEnd), "\t" + kDateLine + "\r\n\r\n\r\n");

    rig.state.CountDirection = "Links_";
    rig.state.WindowFromHour = "13";
    rig.state.WindowToHour = "13";
    rig.report(day(kDate, kRecord13) + kEnd);
    rig.state.CountDirection = "Beide_";
    rig.state.WindowFromHour = "18";
    rig.state.WindowToHour = "06";
    EXPECT_EQ(rig.report(day(kDate, kRecord13) + kEnd),
              "\t" + kDateLine + "\r\n\t\tPersonen\r\n\tUhrzeit\tLinks\r\n\r\n\r\n");
}

// The text area failing must not stop the report: it is reported and the command goes on.
TEST(BuildReport, AFailingStepIsReportedAndTheRestRuns) {
    struct BrokenTextArea : FakeTextArea {
        void setText(const std::string&) override { throw RunTimeError(7); }
    } broken;
    EvaluationRig rig;
    Evaluation eval{rig.state, rig.vars, rig.module, broken};
    rig.state.CountText = day(kDate, kRecord13) + kEnd;
    eval.BuildReport();
    EXPECT_EQ(rig.errorNumbers(), std::vector{7});
    EXPECT_EQ(rig.fake.screen.pointer(), Pointer::Hourglass);
    EXPECT_TRUE(rig.state.ReportText.find("\t13\t37\t7\r\n") != std::string::npos);
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
        EvaluationRig rig;
        rig.state.CountDirection = golden.at("direction").get<std::string>();
        rig.state.WindowFromHour = optionalText(golden.at("from_hour"));
        rig.state.WindowToHour = optionalText(golden.at("to_hour"));
        rig.eval.ChosenHeader = optionalText(golden.at("previous_header")).value_or("");
        rig.fake.text.value = "left over";

        const std::string report = rig.report(golden.at("count_text").get<std::string>());

        const auto expected = golden.at("expected_report").get<std::string>();
        EXPECT_EQ(report, expected);
        EXPECT_EQ(rig.fake.text.value, expected);
        EXPECT_EQ(hex(utf8ToCp1252(rig.fake.text.value + "\r\n")),
                  golden.at("expected_file_bytes_hex").get<std::string>());
        std::vector<int> expectedErrors;
        for (const auto& name : golden.at("expected_errors")) {
            expectedErrors.push_back(errorNumber.at(name.get<std::string>()));
        }
        EXPECT_EQ(rig.errorNumbers(), expectedErrors);
        EXPECT_EQ(rig.eval.ChosenHeader,
                  optionalText(golden.at("expected_chosen_header_after")).value_or(""));
    }
}

} // namespace
} // namespace orva::test
