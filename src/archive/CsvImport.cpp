#include "archive/CsvImport.h"

#include "archive/ArchiveRows.h"

#include <algorithm>
#include <map>

namespace orva {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "Datum;Stunde;Rechts;Links;Summe";
constexpr long long kMaxCount = 2147483647;

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Up to `maxDigits` digits, nothing else.
std::optional<long long> digitsValue(std::string_view s, std::size_t maxDigits) {
    if (!allDigits(s) || s.size() > maxDigits) {
        return std::nullopt;
    }
    long long v = 0;
    for (char c : s) {
        v = v * 10 + (c - '0');
    }
    return v;
}

// A field as the message may quote it: the file is untrusted, so only printable ASCII, short.
std::string quoted(std::string_view field) {
    std::string out;
    for (char c : field.substr(0, 20)) {
        out += (c >= ' ' && c <= '~') ? c : '?';
    }
    return "„" + out + (field.size() > 20 ? "…" : "") + "“";
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t semi = line.find(';', start);
        fields.push_back(line.substr(start, semi == std::string_view::npos ? semi : semi - start));
        if (semi == std::string_view::npos) {
            return fields;
        }
        start = semi + 1;
    }
}

// The row's hour, or why not.
std::variant<ArchivedHour, std::string> parseRow(std::string_view line) {
    const std::vector<std::string_view> f = splitFields(line);
    if (f.size() != 5) {
        return "5 Felder erwartet (Datum;Stunde;Rechts;Links;Summe), " + std::to_string(f.size()) +
               " gefunden";
    }
    const std::optional<Date> date = parseFullDate(f[0]);
    if (!date) {
        return "Datum " + quoted(f[0]) + " ist kein Kalendertag der Form TT.MM.JJJJ";
    }
    const std::optional<long long> hour = digitsValue(f[1], 2);
    if (!hour || *hour > 23) {
        return "Stunde " + quoted(f[1]) + " ist keine ganze Zahl von 0 bis 23";
    }
    const char* names[] = {"Rechts", "Links"};
    long long counts[2] = {};
    for (int i = 0; i < 2; ++i) {
        const std::optional<long long> v = digitsValue(f[2 + i], 10);
        if (!v || *v > kMaxCount) {
            return std::string(names[i]) + " " + quoted(f[2 + i]) +
                   " ist keine ganze Zahl von 0 bis 2147483647";
        }
        counts[i] = *v;
    }
    const std::optional<long long> sum = digitsValue(f[4], 10);
    if (!sum || *sum != counts[0] + counts[1]) {
        return "Summe " + quoted(f[4]) + " ist nicht Rechts + Links (" + std::to_string(counts[0]) +
               " + " + std::to_string(counts[1]) + " = " + std::to_string(counts[0] + counts[1]) +
               ")";
    }
    return ArchivedHour{*date, static_cast<int>(*hour), static_cast<long>(counts[0]),
                        static_cast<long>(counts[1])};
}

} // namespace

CsvImportResult parseHourlyCsv(std::string_view text) {
    if (text.size() > kMaxImportBytes) {
        return CsvImportError{0, "Die Datei ist größer als 32 MiB."};
    }
    if (text.starts_with(kBom)) {
        text.remove_prefix(kBom.size());
    }
    std::vector<ArchivedHour> rows;
    std::map<std::pair<std::string, int>, int> seen; // date and hour -> line
    int emptyLine = 0;                               // first of the empty lines seen so far
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (number == 1) {
            if (line != kHeader) {
                return CsvImportError{1, "die Kopfzeile muss " + std::string("„") +
                                             std::string(kHeader) + "“ lauten"};
            }
            continue;
        }
        if (line.empty()) {
            emptyLine = emptyLine == 0 ? number : emptyLine;
            continue;
        }
        if (emptyLine != 0) {
            return CsvImportError{emptyLine, "leere Zeile vor weiteren Zeilen"};
        }
        std::variant<ArchivedHour, std::string> row = parseRow(line);
        if (const std::string* why = std::get_if<std::string>(&row)) {
            return CsvImportError{number, *why};
        }
        const ArchivedHour& hour = std::get<ArchivedHour>(row);
        const auto [at, fresh] = seen.try_emplace({isoDate(hour.date), hour.hour}, number);
        if (!fresh) {
            return CsvImportError{number, "Datum und Stunde stehen schon in Zeile " +
                                              std::to_string(at->second)};
        }
        rows.push_back(hour);
    }
    if (number == 0) {
        return CsvImportError{1, "die Datei ist leer, die Kopfzeile " + std::string("„") +
                                     std::string(kHeader) + "“ fehlt"};
    }
    return rows;
}

std::string csvImportErrorText(const CsvImportError& error) {
    return error.line > 0 ? "Zeile " + std::to_string(error.line) + ": " + error.what : error.what;
}

} // namespace orva
