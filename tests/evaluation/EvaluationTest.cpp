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
    using D = CountDirection;
    struct Case {
        std::string name;
        D direction;
        int from, to;
        std::string records;
        std::vector<std::string> lines; // empty: the block adds nothing
        std::vector<int> errors;
    };
    // clang-format off
    const Case cases[] = {
        {"hour from the last two decimal digits", D::Right, 13, 13, "007100050006",
         {kDateLine, "13 5", "Summe 5"}, {}},
        {"lower-case digits give wrong values", D::Left, 0, 0, "000d00250007",
         {kDateLine, "00 7", "Summe 7"}, {}},
        {"sums beyond 16 bits", D::Both, 12, 13, "000CFFFFFFFF000DFFFFFFFF",
         {kDateLine, "12 65535 65535", "13 65535 65535", kDashes, "Summe 131070 131070"}, {}},
        {"twelve zeros off the block positions are counts", D::Both, 0, 0,
         "000D00250000" "00000000000F", {kDateLine, "00 0 15", kDashes, "Summe 0 15"}, {}},
        {"incomplete record outside the period", D::Both, 13, 13, kRecord13 + "000300",
         {kDateLine, "13 37 7", kDashes, "Summe 37 7"}, {err::InvalidProcedureCall}},
        {"incomplete record for hour 24", D::Left, 13, 13, kRecord13 + "001800",
         {kDateLine, "13 7", "Summe 7"}, {err::InvalidProcedureCall}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Settings settings{c.direction, TimeRaster::Hours, c.from, c.to, 2};
        // The day after another: a failing one leaves the earlier one's table alone.
        const std::string earlier =
            MakeReport(day("5E0C1E", "") + kEnd, settings, "\r\n", {}).ReportText;
        const Report both =
            MakeReport(day("5E0C1E", "") + day(kDate, c.records) + kEnd, settings, "\r\n", {});
        ASSERT_TRUE(both.ReportText.starts_with(earlier));
        EXPECT_EQ(tableLines(both.ReportText.substr(earlier.size())), c.lines);
        EXPECT_EQ(both.Errors, c.errors);
    }
}

// Each file is one download's evaluation: count text and settings in, report, saved file,
// error boxes out.
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
        const std::optional<Settings> settings =
            parseSettings(golden.at("direction").get<std::string>() + "_Std_" +
                          golden.at("from_hour").get<std::string>() + ":00_" +
                          golden.at("to_hour").get<std::string>() + ":00_2");
        ASSERT_TRUE(settings);
        const Report report =
            MakeReport(golden.at("count_text").get<std::string>(), *settings, "\r\n", {});

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
    }
}

} // namespace
} // namespace orva::test
