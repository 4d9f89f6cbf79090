// Any bytes as a file given to the command-line import: reading it must never crash, and must
// give every row or none.
//
// Input: the whole input is the file content.

#include "archive/ArchiveRows.h"
#include "archive/CsvImport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

using namespace orva;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "CSV import property violated: %s\n", what);
        std::abort();
    }
}

// The number of lines the parser can have seen: every line end starts another line.
int lineCount(std::string_view text) {
    int lines = 1;
    for (char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

// The first `lines` lines of the text, each with its line end.
std::string_view firstLines(std::string_view text, int lines) {
    std::size_t end = 0;
    for (int i = 0; i < lines && end < text.size(); ++i) {
        const std::size_t nl = text.find('\n', end);
        end = nl == std::string_view::npos ? text.size() : nl + 1;
    }
    return text.substr(0, end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CsvImportResult result = parseHourlyCsv(text);
    if (const CsvImportError* e = std::get_if<CsvImportError>(&result)) {
        require(e->line == 0 ? text.size() > kMaxImportBytes
                             : e->line >= 1 && e->line <= lineCount(text),
                "the faulty line is in the file");
        require(!e->what.empty(), "the fault is named");
        // Every line before the faulty one was good: the fault is where the message says.
        if (e->line > 1) {
            require(std::holds_alternative<std::vector<ArchivedHour>>(
                        parseHourlyCsv(firstLines(text, e->line - 1))),
                    "the lines before the named one are read");
        }
        return 0;
    }
    const std::vector<ArchivedHour>& rows = std::get<std::vector<ArchivedHour>>(result);
    std::set<std::pair<std::string, int>> seen;
    for (const ArchivedHour& h : rows) {
        require(isValidDate(h.date.year, h.date.month, h.date.day), "a calendar day");
        require(h.hour >= 0 && h.hour <= 23, "an hour 0-23");
        require(h.right >= 0 && h.right <= 2147483647 && h.left >= 0 && h.left <= 2147483647,
                "counts 0 to 2^31-1");
        require(seen.insert({isoDate(h.date), h.hour}).second, "each hour once");
    }
    require(static_cast<int>(rows.size()) < lineCount(text), "at most one row per line");
    // What the export writes of these rows reads back as the same rows.
    const CsvImportResult again = parseHourlyCsv(hourlyCsv(rows));
    require(std::holds_alternative<std::vector<ArchivedHour>>(again) &&
                std::get<std::vector<ArchivedHour>>(again) == rows,
            "the rows written as the export writes them read back equal");
    return 0;
}
