#include "evaluation/Evaluation.h"

#include "platform/RunTimeError.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace orva {
namespace {

constexpr std::string_view kSeparator = "000000000000";
constexpr std::string_view kEndMarker = "000000000000000000";
constexpr std::string_view kSkippedDate = "940101";
constexpr std::size_t kHeaderLength = 18;
constexpr std::size_t kDigitsPerRecord = 15;

enum class Direction { Both, Left, Right, None };

Direction direction(const std::string& countDirection) {
    if (countDirection == "Beide_") {
        return Direction::Both;
    }
    if (countDirection == "Links_") {
        return Direction::Left;
    }
    if (countDirection == "Rechts") {
        return Direction::Right;
    }
    return Direction::None;
}

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

// A decimal text as a whole number; anything else (an empty count left by an incomplete
// record, above all) is a type mismatch.
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

// A period hour is a text that is compared with the hours as a number. One never read from
// the settings counts as 0; surrounding blanks and a sign are accepted, any other text (an
// empty one too) is a type mismatch.
long periodHour(const std::optional<std::string>& hour) {
    if (!hour) {
        return 0;
    }
    std::string_view t = *hour;
    while (!t.empty() && t.front() == ' ') {
        t.remove_prefix(1);
    }
    while (!t.empty() && t.back() == ' ') {
        t.remove_suffix(1);
    }
    const bool negative = !t.empty() && t.front() == '-';
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        t.remove_prefix(1);
    }
    const long value = wholeNumber(t);
    return negative ? -value : value;
}

} // namespace

void Evaluation::HexToDecimal(const std::string& text) {
    try {
        v_.LineBreak = "\n";
        v_.DecimalText.clear();
        const int w = v_.HexGroupWidth;
        // Any other width would step through the text wrongly or not at all.
        if (w != 2 && w != 4) {
            throw RunTimeError(err::InvalidProcedureCall);
        }
        v_.DecimalText.reserve(text.size() / w * (w == 4 ? 5 : 3));
        for (std::size_t p = 0; p < text.size(); p += w) {
            int value = 0;
            int high = 0;
            for (int j = 0; j < w; ++j) {
                if (j == 2) {
                    value = 0; // a four-digit group is two bytes, converted one by one
                }
                if (p + j >= text.size()) {
                    throw RunTimeError(err::InvalidProcedureCall);
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
            appendPadded(v_.DecimalText, w == 4 ? value + high : value, w == 4 ? 5 : 2);
        }
    } catch (const RunTimeError& e) {
        // The caller goes on with the groups converted so far.
        module_.ReportRunTimeError(e);
    }
}

void Evaluation::EvaluateDayBlock() {
    const std::size_t reportSize = s_.ReportText.size();
    try {
        evaluateBlock();
    } catch (const RunTimeError& e) {
        s_.ReportText.resize(reportSize); // a failed block leaves no trace in the report
        module_.ReportRunTimeError(e);
    }
}

void Evaluation::evaluateBlock() {
    // A block too short for its date reads on into the end marker that closed it.
    std::string dateHex(mid(DayBlockText, 13, 6));
    dateHex.resize(6, '0');
    v_.HexGroupWidth = 2;
    HexToDecimal(dateHex);
    const std::string date = v_.DecimalText;
    if (date == kSkippedDate) {
        DayBlockText.clear();
        return;
    }
    // Fixed positions: a date byte above 99 gives three digits and shifts the fields.
    std::string label = "ORVA-DS:  Datum: ";
    label.append(mid(date, 5, 2)).append(".").append(mid(date, 3, 2)).append(".");
    label.append(mid(date, 1, 2));

    const std::string& nl = s_.NewLine;
    std::string& out = s_.ReportText;
    if (DayBlockText.size() < kHeaderLength) {
        throw RunTimeError(err::InvalidProcedureCall); // no room even for the date
    }
    if (DayBlockText.size() == kHeaderLength) {
        out.append("\t").append(label).append(nl);
        out.append("\tEs sind keine Zähldaten vorhanden").append(Pieces.BlockTrailer);
        DayBlockText.clear();
        return;
    }

    v_.HexGroupWidth = 4;
    HexToDecimal(DayBlockText.substr(kHeaderLength));
    const std::string_view records = v_.DecimalText;
    for (int h = 0; h < 24; ++h) {
        HourTable[h] = {
            {static_cast<char>('0' + h / 10), static_cast<char>('0' + h % 10)}, "0", "0"};
    }
    for (std::size_t q = 0; q < records.size(); q += kDigitsPerRecord) {
        const std::string_view word = records.substr(q, 5);
        const std::string_view hourText = word.substr(word.size() < 2 ? 0 : word.size() - 2);
        const long h = wholeNumber(hourText);
        if (h > 24) {
            throw RunTimeError(err::SubscriptOutOfRange);
        }
        HourTable[h] = {std::string(hourText), std::string(mid(records, q + 6, 5)),
                        std::string(mid(records, q + 11, 5))};
    }

    const long from = periodHour(s_.WindowFromHour);
    const long to = periodHour(s_.WindowToHour);
    const Direction dir = direction(s_.CountDirection);
    const auto included = [&](int h) { return dir != Direction::None && from <= h && h <= to; };
    bool anyRow = false;
    for (int h = 0; h < 24 && !anyRow; ++h) {
        anyRow = included(h);
    }
    if (anyRow) {
        ChosenHeader = dir == Direction::Both   ? Pieces.HeaderBoth
                       : dir == Direction::Left ? Pieces.HeaderLeft
                                                : Pieces.HeaderRight;
    }

    out.append("\t").append(label).append(nl).append(ChosenHeader);
    long sumRight = 0;
    long sumLeft = 0;
    for (int h = 0; h < 24; ++h) {
        if (!included(h)) {
            continue;
        }
        const HourRow& row = HourTable[h];
        out.append("\t").append(row.Hour);
        if (dir != Direction::Left) {
            const long right = wholeNumber(row.Right);
            sumRight += right;
            out.append("\t").append(std::to_string(right));
        }
        if (dir != Direction::Right) {
            const long left = wholeNumber(row.Left);
            sumLeft += left;
            out.append("\t").append(std::to_string(left));
        }
        out.append(nl);
    }
    if (anyRow) {
        switch (dir) {
        case Direction::Both:
            out.append(Pieces.SumSeparator).append("\tSumme\t").append(std::to_string(sumRight));
            out.append("\t").append(std::to_string(sumLeft));
            break;
        case Direction::Left:
            out.append(nl).append("\tSumme\t").append(std::to_string(sumLeft));
            break;
        case Direction::Right:
            out.append(nl).append("\tSumme\t").append(std::to_string(sumRight));
            break;
        case Direction::None:
            break;
        }
    }
    out.append(Pieces.BlockTrailer);
    DayBlockText.clear();
}

void Evaluation::preparePieces() {
    const std::string& nl = s_.NewLine;
    const std::string persons = "\t\tPersonen" + nl;
    Pieces.BlockTrailer = nl + nl;
    Pieces.SumSeparator = "\t\t" + std::string(23, '-') + nl;
    Pieces.HeaderBoth = persons + "\tUhrzeit\tRechts\tLinks" + nl;
    Pieces.HeaderLeft = persons + "\tUhrzeit\tLinks" + nl;
    Pieces.HeaderRight = persons + "\tUhrzeit\tRechts" + nl;
}

// Blocks start only at every third byte (positions 1 + 6k). A block ends where the next
// separator begins; the end marker closes the last one. A block that nothing closes is not
// evaluated: the transfer may have stopped inside it.
void Evaluation::splitIntoDayBlocks() {
    const std::string_view text = s_.CountText;
    std::optional<std::size_t> open;
    for (std::size_t pos = 0; pos < text.size(); pos += 6) {
        if (text.substr(pos, kSeparator.size()) != kSeparator) {
            continue;
        }
        if (open) {
            DayBlockText.assign(text.substr(*open, pos - *open));
            EvaluateDayBlock();
        }
        open = pos;
        if (text.substr(pos, kEndMarker.size()) == kEndMarker) {
            return;
        }
    }
}

// A failing step is reported and the report goes on with the next one.
template <class Step> void Evaluation::runStep(Step step) {
    try {
        step();
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
        module_.platform().screen.setPointer(Pointer::Hourglass);
    }
}

void Evaluation::BuildReport() {
    runStep([&] { s_.ReportText.clear(); });
    runStep([&] { preparePieces(); });
    runStep([&] { DayBlockText.clear(); });
    runStep([&] { splitIntoDayBlocks(); });
    runStep([&] { textFeld_.setText(s_.ReportText); });
}

} // namespace orva
