#include "platform/GermanDate.h"

#include <cstdio>
#include <vector>

namespace orva {

bool isValidDate(int year, int month, int day) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = (month == 2 && leap) ? 29 : kDays[month - 1];
    return day <= last;
}

std::optional<Date> parseFullDate(std::string_view text) {
    int values[3] = {};
    for (int k = 0; k < 3; ++k) {
        const std::size_t start = k * 3;
        const std::size_t width = k == 2 ? 4 : 2;
        if (text.size() != 10 || (k > 0 && text[start - 1] != '.')) {
            return std::nullopt;
        }
        for (char c : text.substr(start, width)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            values[k] = values[k] * 10 + (c - '0');
        }
    }
    if (!isValidDate(values[2], values[1], values[0])) {
        return std::nullopt;
    }
    return Date{values[2], values[1], values[0]};
}

std::optional<Date> parseGermanDate(std::string_view text, int currentYear) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    std::vector<std::string_view> parts;
    char sep = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.' || text[i] == '/' || text[i] == '-') {
            if (i < text.size()) {
                if (sep != 0 && text[i] != sep) {
                    return std::nullopt;
                }
                sep = text[i];
            }
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    // "5.12." is day and month with the separator after the month.
    if (parts.size() == 3 && parts[2].empty()) {
        parts.pop_back();
    }
    if (parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    std::vector<int> values;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const auto p = parts[k];
        const std::size_t maxLen = (k == 2) ? 4 : 2;
        if (p.empty() || p.size() > maxLen) {
            return std::nullopt;
        }
        int v = 0;
        for (char c : p) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            v = v * 10 + (c - '0');
        }
        values.push_back(v);
    }
    int year = currentYear;
    if (values.size() == 3) {
        year = values[2];
        if (parts[2].size() <= 2) {
            year += (year < 30) ? 2000 : 1900;
        }
    }
    if (!isValidDate(year, values[1], values[0])) {
        return std::nullopt;
    }
    return Date{year, values[1], values[0]};
}

std::optional<Date> countDataDate(std::string_view ddmmyy, const Date& today) {
    const auto digits = [&](std::size_t at) {
        const char a = ddmmyy[at];
        const char b = ddmmyy[at + 1];
        return a >= '0' && a <= '9' && b >= '0' && b <= '9' ? (a - '0') * 10 + (b - '0') : -1;
    };
    if (ddmmyy.size() != 8 || ddmmyy[2] != '.' || ddmmyy[5] != '.') {
        return std::nullopt;
    }
    const int day = digits(0);
    const int month = digits(3);
    const int yy = digits(6);
    if (day < 0 || month < 0 || yy < 0) {
        return std::nullopt;
    }
    Date tomorrow{today.year, today.month, today.day + 1};
    if (!isValidDate(tomorrow.year, tomorrow.month, tomorrow.day)) {
        tomorrow =
            today.month == 12 ? Date{today.year + 1, 1, 1} : Date{today.year, today.month + 1, 1};
    }
    const auto key = [](int y, int m, int d) { return (y * 100 + m) * 100 + d; };
    const int latest = key(tomorrow.year, tomorrow.month, tomorrow.day);
    // A 29th of February steps back by whole centuries until its year is a leap year.
    for (int year = tomorrow.year - tomorrow.year % 100 + yy; year >= 100; year -= 100) {
        if (key(year, month, day) <= latest && isValidDate(year, month, day)) {
            return Date{year, month, day};
        }
    }
    return std::nullopt;
}

std::string zeroPadded(long value, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, value);
    return buf;
}

std::string formatShortDate(const Date& d) {
    return zeroPadded(d.day, 2) + "." + zeroPadded(d.month, 2) + "." + zeroPadded(d.year, 4);
}

std::string formatDateTwoDigitYear(const Date& d) {
    return zeroPadded(d.day, 2) + "." + zeroPadded(d.month, 2) + "." + zeroPadded(d.year % 100, 2);
}

std::string formatTime(const DateTime& t) {
    return zeroPadded(t.hour, 2) + ":" + zeroPadded(t.minute, 2) + ":" + zeroPadded(t.second, 2);
}

} // namespace orva
