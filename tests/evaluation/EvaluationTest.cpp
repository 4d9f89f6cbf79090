#include "evaluation/Evaluation.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

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
        {"hour 24 is neither shown nor summed", "Beide_", "23", "24", "001800050006",
         {kDateLine, "23 0 0", kDashes, "Summe 0 0"}, {}},
        {"hour from the last two decimal digits", "Rechts", "13", "13", "007100050006",
         {kDateLine, "13 5", "Summe 5"}, {}},
        {"lower-case digits give wrong values", "Links_", "00", "00", "000d00250007",
         {kDateLine, "00 7", "Summe 7"}, {}},
        {"sums beyond 16 bits", "Beide_", "12", "13", "000CFFFFFFFF000DFFFFFFFF",
         {kDateLine, "12 65535 65535", "13 65535 65535", kDashes, "Summe 131070 131070"}, {}},
        {"period hours with blank and sign", "Rechts", " -1", "+0", "000000030004",
         {kDateLine, "00 3", "Summe 3"}, {}},
        {"period ends before it starts", "Beide_", "18", "06", kRecord13, {kDateLine}, {}},
        {"unknown direction", "beide_", "00", "23", kRecord13, {kDateLine}, {}},
        {"twelve zeros off the block positions are counts", "Beide_", "00", "00",
         "000D00250000" "00000000000F", {kDateLine, "00 0 15", kDashes, "Summe 0 15"}, {}},
        {"period hour no number", "Beide_", "1a", "18", kRecord13, {}, {err::TypeMismatch}},
        {"period hour empty", "Beide_", "06", "", kRecord13, {}, {err::TypeMismatch}},
        {"incomplete record outside the period", "Beide_", "13", "13", kRecord13 + "000300",
         {kDateLine, "13 37 7", kDashes, "Summe 37 7"}, {err::InvalidProcedureCall}},
        {"incomplete record for hour 24", "Links_", "13", "13", kRecord13 + "001800",
         {kDateLine, "13 7", "Summe 7"}, {err::InvalidProcedureCall}},
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

    const auto optionalText = [](const nlohmann::json& v) {
        return v.is_null() ? std::nullopt : std::optional(v.get<std::string>());
    };
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
        const auto hex = golden.at("expected_file_bytes_hex").get<std::string>();
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        }
        EXPECT_EQ(utf8ToCp1252(report.ReportText + "\r\n"), bytes);
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
