#include "archive/CsvImport.h"
#include "archive/ArchiveRows.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

const std::string kHeader = "Datum;Stunde;Rechts;Links;Summe";
const std::vector<ArchivedHour> kRows = {{{2024, 2, 29}, 0, 0, 0},
                                         {{2024, 2, 29}, 23, 2147483647, 2147483647},
                                         {{2026, 12, 7}, 9, 12, 30}};

// The rows as a file: header, rows, each line ended by `nl`.
std::string file(const std::vector<std::string>& rows, const std::string& nl = "\r\n") {
    std::string out = kHeader + nl;
    for (const std::string& row : rows) {
        out += row + nl;
    }
    return out;
}

TEST(CsvImportTest, ReadsTheHourlyFormWithOrWithoutMarkAndCarriageReturn) {
    const std::vector<std::string> rows = {"29.02.2024;0;0;0;0",
                                           "29.02.2024;23;2147483647;2147483647;4294967294",
                                           "07.12.2026;09;12;30;42"};
    const std::string lf = file(rows, "\n");
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"what hourlyCsv writes", hourlyCsv(kRows)},
        {"no mark, LF", lf},
        {"mark, CR LF", "\xEF\xBB\xBF" + file(rows)},
        {"last line without its end", lf.substr(0, lf.size() - 1)},
        {"empty lines close the file", file(rows) + "\r\n\n"},
    };
    for (const auto& c : cases) {
        const CsvImportResult r = parseHourlyCsv(c.text);
        ASSERT_TRUE(std::holds_alternative<std::vector<ArchivedHour>>(r))
            << c.name << ": " << csvImportErrorText(std::get<CsvImportError>(r));
        EXPECT_EQ(std::get<std::vector<ArchivedHour>>(r), kRows) << c.name;
    }
    const CsvImportResult headerOnly = parseHourlyCsv(file({}));
    ASSERT_TRUE(std::holds_alternative<std::vector<ArchivedHour>>(headerOnly));
    EXPECT_TRUE(std::get<std::vector<ArchivedHour>>(headerOnly).empty());
}

TEST(CsvImportTest, AFileWithAFaultyRowGivesNoRowsAndNamesTheRow) {
    const std::string good = "01.12.2026;7;3;4;7";
    const struct {
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {"", 1, "Kopfzeile"},
        {"Datum;Stunde;Rechts;Links\r\n" + good + "\r\n", 1, "Kopfzeile"},
        {file({good, "32.12.2026;7;3;4;7"}), 3, "Datum „32.12.2026“"},
        {file({good, "29.02.2026;7;3;4;7"}), 3, "Datum „29.02.2026“"},
        {file({good, "1.12.2026;7;3;4;7"}), 3, "TT.MM.JJJJ"},
        {file({good, "02.12.26;7;3;4;7"}), 3, "Datum „02.12.26“"},
        {file({good, "02/12/2026;7;3;4;7"}), 3, "Datum „02/12/2026“"},
        {file({good, "02.12.2026;24;3;4;7"}), 3, "Stunde „24“"},
        {file({good, "02.12.2026;-1;3;4;7"}), 3, "Stunde"},
        {file({good, "02.12.2026;;3;4;7"}), 3, "Stunde"},
        {file({good, "02.12.2026;7;-3;4;1"}), 3, "Rechts „-3“"},
        {file({good, "02.12.2026;7;3;2147483648;2147483651"}), 3, "Links „2147483648“"},
        {file({good, "02.12.2026;7;3; 4;7"}), 3, "Links"},
        {file({good, "02.12.2026;7;1.5;4;5"}), 3, "Rechts"},
        {file({good, "02.12.2026;7;3;4;8"}), 3, "Summe „8“ ist nicht Rechts + Links (3 + 4 = 7)"},
        {file({good, "02.12.2026;7;3;4"}), 3, "4 gefunden"},
        {file({good, "02.12.2026;7;3;4;7;"}), 3, "6 gefunden"},
        {file({good, "02.12.2026;8;1;1;2", good}), 4, "schon in Zeile 2"},
        {file({good, "", good}), 3, "leere Zeile"},
        {file({good, "02.12.2026;7;3;4;7\r\r"}), 3, "Summe"},
        {file({good, "02.12.2026;7;3;4;\x01\xff"}), 3, "Summe „??“"},
    };
    for (const auto& c : cases) {
        const CsvImportResult r = parseHourlyCsv(c.text);
        ASSERT_TRUE(std::holds_alternative<CsvImportError>(r)) << c.text;
        const CsvImportError& e = std::get<CsvImportError>(r);
        EXPECT_EQ(e.line, c.line) << c.text;
        const std::string text = csvImportErrorText(e);
        EXPECT_TRUE(text.starts_with("Zeile " + std::to_string(c.line) + ": ")) << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << text;
    }
    std::string large = file({good});
    large.resize(kMaxImportBytes + 1, '\n');
    const CsvImportResult tooLarge = parseHourlyCsv(large);
    ASSERT_TRUE(std::holds_alternative<CsvImportError>(tooLarge));
    EXPECT_EQ(std::get<CsvImportError>(tooLarge).line, 0);
}

} // namespace
} // namespace orva::test
