#pragma once

#include "archive/CountArchive.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orva {

// The largest file an import reads: 32 MiB holds about a century of hourly rows of one site
// (a typical row takes 25-30 bytes), while a mistaken choice of some large file is refused
// before it is read.
inline constexpr std::size_t kMaxImportBytes = 32u << 20;

// Why a file is not taken: the 1-based line (0 for the file as a whole) and what is wrong.
struct CsvImportError {
    int line = 0;
    std::string what;
};

// Every row of the file, in file order, or the first fault; never part of it.
using CsvImportResult = std::variant<std::vector<ArchivedHour>, CsvImportError>;

// Reads the hourly form that the export of a download and `hourlyCsv` write: an optional UTF-8
// byte order mark, the header "Datum;Stunde;Rechts;Links;Summe", then one row per hour with a
// date dd.mm.yyyy, an hour 0-23 and whole counts 0 to 2^31-1 whose sum is the "Summe"; lines end
// in CR LF or LF, the last one may lack it, and empty lines may only close the file. The same
// date and hour twice is a fault: the file would not say which count holds.
CsvImportResult parseHourlyCsv(std::string_view text);

// "Zeile 7: ..." or, for the file as a whole, the reason alone.
std::string csvImportErrorText(const CsvImportError& error);

} // namespace orva
