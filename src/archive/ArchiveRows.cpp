#include "archive/ArchiveRows.h"

#include <charconv>

namespace orva {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long dayNumber(const Date& d) {
    const int y = d.year - (d.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date fromDayNumber(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

int daysInMonth(int year, int month) {
    return month == 12 ? 31 : daysBetween({year, month, 1}, {year, month + 1, 1}) - 1;
}

std::string csvLine(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& f : fields) {
        line += (line.empty() ? "" : ";") + f;
    }
    return line + "\r\n";
}

constexpr const char* kBom = "\xEF\xBB\xBF";

} // namespace

std::vector<ArchivedHour> archiveHours(const CountData& data, const Date& today) {
    std::vector<ArchivedHour> out;
    for (const DayCounts& day : data.Days) {
        const std::optional<Date> date = countDataDate(day.DateText, today);
        if (day.Refused || !date) {
            continue;
        }
        for (int h = 0; h < 24; ++h) {
            const HourCount& c = day.Hours[static_cast<std::size_t>(h)];
            if (day.Recorded[static_cast<std::size_t>(h)] && c.Right && c.Left) {
                out.push_back({*date, h, *c.Right, *c.Left});
            }
        }
    }
    return out;
}

bool hourEnded(const Date& date, int hour, const DateTime& at) {
    const long hoursThen = dayNumber(date) * 24 + hour + 1;
    const long hoursNow = dayNumber(at.date) * 24 + at.hour;
    return hoursThen <= hoursNow;
}

MergedHour mergeHour(const ArchivedHour& held, const ArchivedHour& offered, bool ended) {
    MergedHour m{offered.right, offered.left, false};
    if (ended) {
        m.conflict = offered.right < held.right || offered.left < held.left;
        m.right = std::max(held.right, offered.right);
        m.left = std::max(held.left, offered.left);
    }
    return m;
}

int daysBetween(const Date& from, const Date& to) {
    return static_cast<int>(std::max(0L, dayNumber(to) - dayNumber(from) + 1));
}

Date addDays(const Date& d, int n) {
    return fromDayNumber(dayNumber(d) + n);
}

int weekday(const Date& d) {
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((dayNumber(d) % 7) + 7 + 3) % 7);
}

std::string isoDate(const Date& d) {
    return zeroPadded(d.year, 4) + "-" + zeroPadded(d.month, 2) + "-" + zeroPadded(d.day, 2);
}

std::optional<Date> parseIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    Date d;
    const char* s = text.data();
    if (std::from_chars(s, s + 4, d.year).ptr != s + 4 ||
        std::from_chars(s + 5, s + 7, d.month).ptr != s + 7 ||
        std::from_chars(s + 8, s + 10, d.day).ptr != s + 10 ||
        !isValidDate(d.year, d.month, d.day)) {
        return std::nullopt;
    }
    return d;
}

std::pair<int, int> isoWeek(const Date& d) {
    const Date thursday = addDays(d, 3 - weekday(d));
    const int week = (dayNumber(thursday) - dayNumber({thursday.year, 1, 1})) / 7 + 1;
    return {static_cast<int>(week), thursday.year};
}

std::string groupLabel(const Date& d, Grouping grouping) {
    switch (grouping) {
    case Grouping::Day:
        break;
    case Grouping::Week: {
        const auto [week, year] = isoWeek(d);
        return "KW " + zeroPadded(week, 2) + "/" + std::to_string(year);
    }
    case Grouping::Month:
        return zeroPadded(d.month, 2) + "." + std::to_string(d.year);
    case Grouping::Year:
        return std::to_string(d.year);
    }
    return formatShortDate(d);
}

std::vector<GroupTotals> groupDays(const std::vector<DayTotals>& days, Grouping grouping) {
    std::vector<GroupTotals> out;
    for (const DayTotals& d : days) {
        GroupTotals g;
        switch (grouping) {
        case Grouping::Day:
            g.first = g.last = d.date;
            break;
        case Grouping::Week:
            g.first = addDays(d.date, -weekday(d.date));
            g.last = addDays(g.first, 6);
            break;
        case Grouping::Month:
            g.first = {d.date.year, d.date.month, 1};
            g.last = {d.date.year, d.date.month, daysInMonth(d.date.year, d.date.month)};
            break;
        case Grouping::Year:
            g.first = {d.date.year, 1, 1};
            g.last = {d.date.year, 12, 31};
            break;
        }
        g.label = groupLabel(d.date, grouping);
        if (out.empty() || out.back().label != g.label) {
            out.push_back(g);
        }
        GroupTotals& into = out.back();
        ++into.days;
        into.right += d.right;
        into.left += d.left;
        into.periodRight += d.periodRight;
        into.periodLeft += d.periodLeft;
    }
    return out;
}

std::vector<Date> missingDays(const std::vector<DayTotals>& held, const Date& from,
                              const Date& to) {
    std::vector<Date> out;
    auto next = held.begin();
    for (long n = dayNumber(from); n <= dayNumber(to); ++n) {
        while (next != held.end() && dayNumber(next->date) < n) {
            ++next;
        }
        if (next == held.end() || dayNumber(next->date) != n) {
            out.push_back(fromDayNumber(n));
        }
    }
    return out;
}

std::string hourlyCsv(const std::vector<ArchivedHour>& hours) {
    std::string out = kBom + csvLine({"Datum", "Stunde", "Rechts", "Links", "Summe"});
    out.reserve(out.size() + hours.size() * 32);
    for (const ArchivedHour& h : hours) {
        out += csvLine({formatShortDate(h.date), std::to_string(h.hour), std::to_string(h.right),
                        std::to_string(h.left), std::to_string(h.right + h.left)});
    }
    return out;
}

std::string groupedCsv(const std::vector<GroupTotals>& groups) {
    std::string out = kBom + csvLine({"Zeitraum", "Von", "Bis", "Tage", "Rechts", "Links", "Summe",
                                      "Rechts Zeitraum", "Links Zeitraum", "Summe Zeitraum"});
    for (const GroupTotals& g : groups) {
        out +=
            csvLine({g.label, formatShortDate(g.first), formatShortDate(g.last),
                     std::to_string(g.days), std::to_string(g.right), std::to_string(g.left),
                     std::to_string(g.right + g.left), std::to_string(g.periodRight),
                     std::to_string(g.periodLeft), std::to_string(g.periodRight + g.periodLeft)});
    }
    return out;
}

} // namespace orva
