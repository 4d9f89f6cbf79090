#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
};

struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// German regional rules, whatever the machine's locale.
bool isValidDate(int year, int month, int day);

// Parses a date typed as the prompts ask for it (TT.MM.JJ): day, month and year separated by
// ".", "/" or "-", surrounding blanks allowed. A one- or two-digit year means 1930-2029; a
// year left out means currentYear. Returns nothing for text that is no date on a calendar.
std::optional<Date> parseGermanDate(std::string_view text, int currentYear);

// "dd.mm.yyyy" with exactly these digits, as files and scripts give dates: nothing else.
std::optional<Date> parseFullDate(std::string_view text);

// The date of a day block of the device, "dd.mm.yy": its two-digit year is the latest year
// that does not put the date after the day following `today`, so that counts go on being dated
// right past any turn of a century. Nothing for text that is no date on a calendar.
std::optional<Date> countDataDate(std::string_view ddmmyy, const Date& today);

// Short date "dd.MM.yyyy".
std::string formatShortDate(const Date& d);
// "dd.MM.yy".
std::string formatDateTwoDigitYear(const Date& d);
// Long time "hh:mm:ss".
std::string formatTime(const DateTime& t);
// A number with at least `width` digits, leading zeros ("00", "00000").
std::string zeroPadded(long value, int width);

} // namespace orva
