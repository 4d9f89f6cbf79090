#include "evaluation/Evaluation.h"

#include "platform/RunTimeError.h"

#include <algorithm>

namespace orva {
namespace {

constexpr std::string_view kSeparator = "000000000000";
constexpr std::string_view kEndMarker = "000000000000000000";
constexpr std::string_view kSkippedDate = "940101";
constexpr std::size_t kHeaderLength = 18;
constexpr std::size_t kDigitsPerRecord = 15;

// Characters start..start+len-1 (1-based); positions past the end give a shorter text.
std::string_view mid(std::string_view s, std::size_t start, std::size_t len) {
    if (start == 0 || start > s.size()) {
        return {};
    }
    return s.substr(start - 1, len);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends a value below 100000 with at least `width` digits, leading zeros.
void appendPadded(std::string& out, int value, int width) {
    char digits[5];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 5);
    out.append(static_cast<std::size_t>(std::max(width - n, 0)), '0');
    while (n > 0) {
        out += digits[--n];
    }
}

// A decimal text as a whole number; anything else (an empty text above all) is a type mismatch.
long wholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        throw RunTimeError(err::TypeMismatch);
    }
    long value = 0;
    for (char c : text) {
        if (!isDigit(c)) {
            throw RunTimeError(err::TypeMismatch);
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// A count of a record: absent where an incomplete record has no digits for it.
std::optional<long> count(std::string_view digits) {
    return digits.empty() ? std::nullopt : std::optional<long>(wholeNumber(digits));
}

// The records of a day block: hour, "Rechts" and "Links" as 16-bit words. A later record for
// an hour replaces an earlier one.
void readRecords(std::string_view hex, DayCounts& day, CountData& data) {
    const Conversion c = HexToDecimal(hex, 4);
    if (c.error != 0) {
        day.Errors.push_back(c.error);
    }
    const std::string_view records = c.DecimalText;
    int incomplete = 0;
    int hour24 = 0;
    for (std::size_t q = 0; q < records.size(); q += kDigitsPerRecord) {
        // The hour is the last two decimal digits of its word.
        const std::string_view hourText = records.substr(q + 3, 2);
        const long h = wholeNumber(hourText);
        if (h > 24) {
            // Its records are left out with the day, not counted on their own.
            day.Errors.push_back(err::SubscriptOutOfRange);
            day.Refused = true;
            return;
        }
        const HourCount counts{count(mid(records, q + 6, 5)), count(mid(records, q + 11, 5))};
        if (h == 24) {
            ++hour24;
            day.Hour24 = counts;
        } else {
            incomplete += counts.Right && counts.Left ? 0 : 1;
            day.Hours[static_cast<std::size_t>(h)] = counts;
            day.Recorded[static_cast<std::size_t>(h)] = true;
        }
    }
    data.RefusedRecords += incomplete;
    data.Hour24Records += hour24;
}

// A block is never shorter than its header: six more zeros would have made its separator an
// end marker.
void readDay(std::string_view block, CountData& data) {
    const std::string date = HexToDecimal(block.substr(12, 6), 2).DecimalText;
    if (date == kSkippedDate) {
        return;
    }
    DayCounts day;
    // Fixed positions: a date byte above 99 gives three digits and shifts the fields.
    day.DateText.append(mid(date, 5, 2)).append(".").append(mid(date, 3, 2)).append(".");
    day.DateText.append(mid(date, 1, 2));
    if (block.size() > kHeaderLength) {
        day.HasRecords = true;
        readRecords(block.substr(kHeaderLength), day, data);
    }
    data.RefusedBlocks += day.Refused ? 1 : 0;
    data.Days.push_back(std::move(day));
}

// The fixed texts of a report.
struct Pieces {
    explicit Pieces(const std::string& nl)
        : trailer(nl + nl), sumSeparator("\t\t" + std::string(23, '-') + nl),
          both("\t\tPersonen" + nl + "\tUhrzeit\tRechts\tLinks" + nl),
          left("\t\tPersonen" + nl + "\tUhrzeit\tLinks" + nl),
          right("\t\tPersonen" + nl + "\tUhrzeit\tRechts" + nl) {}
    std::string trailer, sumSeparator, both, left, right;
};

// The text of one day; throws the run-time error that makes the day fail.
std::string dayText(const DayCounts& day, const Settings& settings, const std::string& nl,
                    const Pieces& pieces) {
    std::string out = "\tORVA-DS:  Datum: " + day.DateText + nl;
    if (!day.HasRecords) {
        return out + "\tEs sind keine Zähldaten vorhanden" + pieces.trailer;
    }
    const CountDirection dir = settings.direction;
    out += dir == CountDirection::Both   ? pieces.both
           : dir == CountDirection::Left ? pieces.left
                                         : pieces.right;
    const auto shown = [](const std::optional<long>& n) {
        return n ? *n : throw RunTimeError(err::TypeMismatch); // an incomplete record's count
    };
    long sumRight = 0;
    long sumLeft = 0;
    for (int h = settings.fromHour; h <= settings.toHour; ++h) {
        const HourCount& c = day.Hours[static_cast<std::size_t>(h)];
        out.append("\t").append({static_cast<char>('0' + h / 10), static_cast<char>('0' + h % 10)});
        if (dir != CountDirection::Left) {
            sumRight += shown(c.Right);
            out.append("\t").append(std::to_string(shown(c.Right)));
        }
        if (dir != CountDirection::Right) {
            sumLeft += shown(c.Left);
            out.append("\t").append(std::to_string(shown(c.Left)));
        }
        out.append(nl);
    }
    if (dir == CountDirection::Both) {
        out.append(pieces.sumSeparator).append("\tSumme\t").append(std::to_string(sumRight));
        out.append("\t").append(std::to_string(sumLeft));
    } else {
        out.append(nl).append("\tSumme\t");
        out.append(std::to_string(dir == CountDirection::Left ? sumLeft : sumRight));
    }
    return out + pieces.trailer;
}

} // namespace

Conversion HexToDecimal(std::string_view text, int width) {
    Conversion result;
    const int w = width;
    // Any other width would step through the text wrongly or not at all.
    if (w != 2 && w != 4) {
        result.error = err::InvalidProcedureCall;
        return result;
    }
    result.DecimalText.reserve(text.size() / w * (w == 4 ? 5 : 3));
    for (std::size_t p = 0; p < text.size(); p += w) {
        int value = 0;
        int high = 0;
        for (int j = 0; j < w; ++j) {
            if (j == 2) {
                value = 0; // a four-digit group is two bytes, converted one by one
            }
            if (p + j >= text.size()) {
                result.error = err::InvalidProcedureCall;
                return result;
            }
            const char c = text[p + j];
            if (c >= 'A' && c <= 'F') {
                value = value * 16 + (c - 55);
            } else if (isDigit(c)) {
                value = value * 16 + (c - 48);
            }
            if (w == 4 && j == 1) {
                high = value * 256;
            }
        }
        appendPadded(result.DecimalText, w == 4 ? value + high : value, w == 4 ? 5 : 2);
    }
    return result;
}

// Blocks start only at every third byte (positions 1 + 6k). A block ends where the next
// separator begins; the end marker closes the last one. A block that nothing closes is not
// read: the transfer may have stopped inside it.
CountData ReadCountData(std::string_view text) {
    CountData data;
    std::optional<std::size_t> open;
    for (std::size_t pos = 0; pos < text.size(); pos += 6) {
        if (text.substr(pos, kSeparator.size()) != kSeparator) {
            continue;
        }
        if (open) {
            readDay(text.substr(*open, pos - *open), data);
        }
        open = pos;
        if (text.substr(pos, kEndMarker.size()) == kEndMarker) {
            break;
        }
    }
    return data;
}

Report MakeReport(std::string_view countText, const Settings& settings, const std::string& newLine,
                  const ReportCarryOver& carryOver) {
    Report report{{}, {}, carryOver};
    const Pieces pieces(newLine);
    for (const DayCounts& day : ReadCountData(countText).Days) {
        report.Errors.insert(report.Errors.end(), day.Errors.begin(), day.Errors.end());
        if (day.Hour24) {
            report.CarryOver.Hour24 = day.Hour24;
        }
        if (day.Refused) {
            continue;
        }
        try {
            report.ReportText += dayText(day, settings, newLine, pieces);
        } catch (const RunTimeError& e) {
            report.Errors.push_back(e.number()); // a failed day leaves no trace in the report
        }
    }
    return report;
}

} // namespace orva
