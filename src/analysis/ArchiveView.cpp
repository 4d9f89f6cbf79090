#include "analysis/ArchiveView.h"

#include "analysis/CountTable.h"
#include "archive/ArchiveRows.h"

#include <cmath>

namespace orva {
namespace {

long pick(long right, long left, CountDirection direction) {
    switch (direction) {
    case CountDirection::Right:
        return right;
    case CountDirection::Left:
        return left;
    case CountDirection::Both:
        break;
    }
    return right + left;
}

// The hourly view's rows are days.
std::string groupLabel(const Date& d, ViewGrouping grouping) {
    switch (grouping) {
    case ViewGrouping::Hour:
    case ViewGrouping::Day:
        break;
    case ViewGrouping::Week:
        return groupLabel(d, Grouping::Week);
    case ViewGrouping::Month:
        return groupLabel(d, Grouping::Month);
    case ViewGrouping::Year:
        return groupLabel(d, Grouping::Year);
    }
    return groupLabel(d, Grouping::Day);
}

// Day `offset` of the range sits in row `rowOf[offset]`; outside the range, nowhere.
int rowAt(const std::vector<int>& rowOf, const Date& from, const Date& d) {
    const int offset = daysBetween(from, d) - 1;
    return offset >= 0 && offset < static_cast<int>(rowOf.size()) ? rowOf[offset] : -1;
}

// Where a day of the year before belongs in this range: a year on. In the daily and hourly
// views 29.02. has no day to compare with.
int earlierRow(const std::vector<int>& rowOf, const ViewRequest& r, const Date& d) {
    Date on{d.year + 1, d.month, d.day};
    if (!isValidDate(on.year, on.month, on.day)) {
        if (r.grouping == ViewGrouping::Day || r.grouping == ViewGrouping::Hour) {
            return -1;
        }
        on.day = 28;
    }
    return rowAt(rowOf, r.from, on);
}

std::string number(long n) {
    return std::to_string(n);
}
std::string number(const std::optional<long>& n) {
    return n ? std::to_string(*n) : std::string();
}

std::string plural(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string periodText(const ViewRequest& r) {
    return std::to_string(r.fromHour) + " bis " + std::to_string(r.toHour) + " Uhr";
}

} // namespace

std::string groupingName(ViewGrouping grouping) {
    switch (grouping) {
    case ViewGrouping::Hour:
        return "Stunde";
    case ViewGrouping::Day:
        return "Tag";
    case ViewGrouping::Week:
        return "Woche";
    case ViewGrouping::Month:
        return "Monat";
    case ViewGrouping::Year:
        break;
    }
    return "Jahr";
}

std::string presetName(RangePreset preset) {
    switch (preset) {
    case RangePreset::Last7Days:
        return "Letzte 7 Tage";
    case RangePreset::ThisMonth:
        return "Dieser Monat";
    case RangePreset::LastMonth:
        return "Letzter Monat";
    case RangePreset::ThisYear:
        return "Dieses Jahr";
    case RangePreset::LastYear:
        return "Letztes Jahr";
    case RangePreset::All:
        break;
    }
    return "Alles";
}

std::optional<std::pair<Date, Date>>
presetRange(RangePreset preset, const Date& today,
            const std::optional<std::pair<Date, Date>>& extent) {
    const Date monthStart{today.year, today.month, 1};
    switch (preset) {
    case RangePreset::Last7Days:
        return std::pair(addDays(today, -6), today);
    case RangePreset::ThisMonth:
        return std::pair(monthStart, today);
    case RangePreset::LastMonth: {
        const Date last = addDays(monthStart, -1);
        return std::pair(Date{last.year, last.month, 1}, last);
    }
    case RangePreset::ThisYear:
        return std::pair(Date{today.year, 1, 1}, today);
    case RangePreset::LastYear:
        return std::pair(Date{today.year - 1, 1, 1}, Date{today.year - 1, 12, 31});
    case RangePreset::All:
        break;
    }
    return extent;
}

bool groupingFits(ViewGrouping grouping, const Date& from, const Date& to) {
    const int days = daysBetween(from, to);
    switch (grouping) {
    case ViewGrouping::Hour:
        return days <= kMaxHourlyDays;
    case ViewGrouping::Day:
        return days <= kMaxDailyDays;
    default:
        return true;
    }
}

ViewGrouping fittingGrouping(ViewGrouping wanted, const Date& from, const Date& to) {
    while (!groupingFits(wanted, from, to)) {
        wanted = static_cast<ViewGrouping>(static_cast<int>(wanted) + 1);
    }
    return wanted;
}

Date yearEarlier(const Date& d) {
    return {d.year - 1, d.month, isValidDate(d.year - 1, d.month, d.day) ? d.day : 28};
}

ArchiveResult<ArchiveView> makeArchiveView(CountArchive& archive, const ViewRequest& request) {
    ArchiveView view;
    view.request = request;
    const ViewRequest& r = view.request;
    const ArchiveQuery query{r.site, r.from, r.to, r.sites};
    const ArchiveQuery before{r.site, yearEarlier(r.from), yearEarlier(r.to), r.sites};

    // Every calendar group of the range gets a row, held or not.
    const int length = daysBetween(r.from, r.to);
    std::vector<int> rowOf(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const Date d = addDays(r.from, i);
        const std::string label = groupLabel(d, r.grouping);
        if (view.rows.empty() || view.rows.back().label != label) {
            ViewRow& row = view.rows.emplace_back();
            row.label = label;
            row.first = d;
        }
        view.rows.back().last = d;
        rowOf[static_cast<std::size_t>(i)] = static_cast<int>(view.rows.size()) - 1;
    }

    auto days = archive.days(query, r.fromHour, r.toHour);
    if (auto* e = std::get_if<ArchiveError>(&days)) {
        return *e;
    }
    for (const DayTotals& d : std::get<std::vector<DayTotals>>(days)) {
        if (const int row = rowAt(rowOf, r.from, d.date); row >= 0) {
            ViewRow& into = view.rows[static_cast<std::size_t>(row)];
            ++into.days;
            into.total += pick(d.right, d.left, r.direction);
            into.period += pick(d.periodRight, d.periodLeft, r.direction);
        }
    }
    view.missing = missingDays(std::get<std::vector<DayTotals>>(days), r.from, r.to);
    for (const ViewRow& row : view.rows) {
        view.total += row.total;
        view.period += row.period;
    }

    auto earlier = archive.days(before, r.fromHour, r.toHour);
    if (auto* e = std::get_if<ArchiveError>(&earlier)) {
        return *e;
    }
    for (const DayTotals& d : std::get<std::vector<DayTotals>>(earlier)) {
        if (const int row = earlierRow(rowOf, r, d.date); row >= 0) {
            std::optional<long>& into = view.rows[static_cast<std::size_t>(row)].earlier;
            into = into.value_or(0) + pick(d.right, d.left, r.direction);
            view.hasEarlier = true;
        }
    }

    if (r.grouping == ViewGrouping::Hour) {
        for (const auto& [q, isEarlier] : {std::pair(query, false), std::pair(before, true)}) {
            auto hours = archive.hours(q);
            if (auto* e = std::get_if<ArchiveError>(&hours)) {
                return *e;
            }
            for (const ArchivedHour& h : std::get<std::vector<ArchivedHour>>(hours)) {
                const int row =
                    isEarlier ? earlierRow(rowOf, r, h.date) : rowAt(rowOf, r.from, h.date);
                if (row >= 0) {
                    ViewRow& into = view.rows[static_cast<std::size_t>(row)];
                    (isEarlier ? into.earlierHours : into.hours)[static_cast<std::size_t>(h.hour)] =
                        pick(h.right, h.left, r.direction);
                }
            }
        }
    }

    auto conflicts = archive.conflicts(query);
    if (auto* e = std::get_if<ArchiveError>(&conflicts)) {
        return *e;
    }
    view.conflicts = std::get<int>(conflicts);

    auto profile = archive.profile(query);
    if (auto* e = std::get_if<ArchiveError>(&profile)) {
        return *e;
    }
    const WeekdayProfile& p = std::get<WeekdayProfile>(profile);
    for (int wd = 0; wd < 7; ++wd) {
        view.profileDays[static_cast<std::size_t>(wd)] = p.days[wd];
        for (int h = 0; h < 24; ++h) {
            view.profile[static_cast<std::size_t>(wd)][static_cast<std::size_t>(h)] =
                r.direction == CountDirection::Right  ? p.right[wd][h]
                : r.direction == CountDirection::Left ? p.left[wd][h]
                                                      : p.right[wd][h] + p.left[wd][h];
        }
    }

    auto sites = archive.sites();
    if (auto* e = std::get_if<ArchiveError>(&sites)) {
        return *e;
    }
    view.sites = std::move(std::get<std::vector<std::string>>(sites));
    return view;
}

std::string siteLabel(const ViewRequest& r) {
    if (!r.sites.empty()) {
        std::string joined;
        for (const std::string& site : r.sites) {
            joined += (joined.empty() ? "" : " + ") + site;
        }
        return joined;
    }
    return r.site.empty() ? std::string(kAllSites) : r.site;
}

std::string viewTitle(const ArchiveView& view) {
    const ViewRequest& r = view.request;
    return "Personen pro " + groupingName(r.grouping) + ", " + DirectionLabel(r.direction) + ", " +
           siteLabel(r) + ", " + formatShortDate(r.from) + " bis " + formatShortDate(r.to);
}

std::string sumsNote(const ArchiveView& view) {
    return "Summe Tag: alle Stunden. Summe Zeitraum: nur der Auswertezeitraum " +
           periodText(view.request) + ", wie die „Summe“ des Berichts.";
}

std::string gapsNote(const ArchiveView& view) {
    std::string note;
    if (!view.missing.empty()) {
        // Runs of days as "03.12.2026 bis 05.12.2026"; a long list is cut short.
        std::vector<std::string> runs;
        for (std::size_t i = 0; i < view.missing.size();) {
            std::size_t end = i;
            while (end + 1 < view.missing.size() &&
                   daysBetween(view.missing[end], view.missing[end + 1]) == 2) {
                ++end;
            }
            runs.push_back(formatShortDate(view.missing[i]) +
                           (end > i ? " bis " + formatShortDate(view.missing[end]) : ""));
            i = end + 1;
        }
        constexpr std::size_t kShown = 8;
        note = "Keine Zähldaten im Archiv für " +
               plural(static_cast<long>(view.missing.size()), "Tag", "Tage") + ": ";
        for (std::size_t i = 0; i < runs.size() && i < kShown; ++i) {
            note += (i > 0 ? ", " : "") + runs[i];
        }
        if (runs.size() > kShown) {
            note += " und " + plural(static_cast<long>(runs.size() - kShown), "weitere Lücke",
                                     "weitere Lücken");
        }
        note += ".";
    }
    if (view.conflicts > 0) {
        note += std::string(note.empty() ? "" : " ") +
                plural(view.conflicts, "Stunde kam", "Stunden kamen") +
                " später mit kleinerem Zählerstand; der größere blieb im Archiv.";
    }
    return note;
}

ViewTable viewTable(const ArchiveView& view) {
    const ViewRequest& r = view.request;
    const bool hourly = r.grouping == ViewGrouping::Hour;
    const bool daily = hourly || r.grouping == ViewGrouping::Day;
    ViewTable t;
    t.header.push_back(daily ? "Datum" : groupingName(r.grouping));
    if (hourly) {
        for (int h = 0; h < 24; ++h) {
            t.header.push_back(std::to_string(h));
        }
    } else if (!daily) {
        t.header.insert(t.header.end(), {"Von", "Bis", "Tage"});
    }
    t.header.insert(t.header.end(), {"Summe Tag", "Summe Zeitraum"});
    if (view.hasEarlier) {
        t.header.push_back("Vorjahr");
    }
    for (const ViewRow& row : view.rows) {
        std::vector<std::string> cells{row.label};
        const bool held = row.days > 0;
        if (hourly) {
            for (const std::optional<long>& h : row.hours) {
                cells.push_back(number(h));
            }
        } else if (!daily) {
            cells.insert(cells.end(), {formatShortDate(row.first), formatShortDate(row.last),
                                       std::to_string(row.days)});
        }
        cells.push_back(held ? number(row.total) : "");
        cells.push_back(held ? number(row.period) : "");
        if (view.hasEarlier) {
            cells.push_back(number(row.earlier));
        }
        t.rows.push_back(std::move(cells));
    }
    std::vector<std::string> sum(t.header.size());
    sum[0] = "Summe";
    const std::size_t at = t.header.size() - (view.hasEarlier ? 3 : 2);
    sum[at] = number(view.total);
    sum[at + 1] = number(view.period);
    if (view.hasEarlier) {
        long earlier = 0;
        for (const ViewRow& row : view.rows) {
            earlier += row.earlier.value_or(0);
        }
        sum[at + 2] = number(earlier);
    }
    if (!daily) {
        sum[3] = std::to_string(daysBetween(r.from, r.to) - static_cast<int>(view.missing.size()));
    }
    t.rows.push_back(std::move(sum));
    return t;
}

ViewTable profileTable(const ArchiveView& view) {
    static const char* const kWeekdays[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                            "Freitag", "Samstag",  "Sonntag"};
    ViewTable t;
    t.header = {"Wochentag", "Tage"};
    for (int h = 0; h < 24; ++h) {
        t.header.push_back(std::to_string(h));
    }
    for (std::size_t wd = 0; wd < 7; ++wd) {
        std::vector<std::string> cells{kWeekdays[wd], std::to_string(view.profileDays[wd])};
        for (const double v : view.profile[wd]) {
            const long tenths = std::lround(v * 10);
            cells.push_back(view.profileDays[wd] == 0
                                ? std::string()
                                : std::to_string(tenths / 10) + "," + std::to_string(tenths % 10));
        }
        t.rows.push_back(std::move(cells));
    }
    return t;
}

std::string viewCsv(const ArchiveView& view) {
    const ViewTable t = viewTable(view);
    std::string out = "\xEF\xBB\xBF";
    const auto line = [&out](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i > 0 ? ";" : "") + cells[i];
        }
        out += "\r\n";
    };
    line(t.header);
    for (const std::vector<std::string>& row : t.rows) {
        line(row);
    }
    return out;
}

} // namespace orva
