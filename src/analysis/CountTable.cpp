#include "analysis/CountTable.h"

namespace orva {
namespace {

// Only hours with both counts whole: an incomplete record is left out.
std::optional<long> counted(const HourCount& c, CountDirection direction) {
    if (!c.Right || !c.Left) {
        return std::nullopt;
    }
    switch (direction) {
    case CountDirection::Right:
        return *c.Right;
    case CountDirection::Left:
        return *c.Left;
    case CountDirection::Both:
        break;
    }
    return *c.Right + *c.Left;
}

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

CountTable MakeCountTable(const CountData& data, const Settings& settings, const Date& today) {
    CountTable table;
    for (const DayCounts& day : data.Days) {
        if (!day.Refused) {
            table.Days.push_back(day);
        }
    }
    table.Direction = settings.direction;
    table.Period = {settings.fromHour, settings.toHour};
    table.LeftOutBlocks = data.RefusedBlocks;
    table.LeftOutRecords = data.RefusedRecords + data.Hour24Records;
    table.Today = today;
    return table;
}

std::optional<long> CellValue(const DayCounts& day, int hour, CountDirection direction) {
    if (!day.HasRecords) {
        return std::nullopt;
    }
    return counted(day.Hours[static_cast<std::size_t>(hour)], direction);
}

long DayTotal(const DayCounts& day, CountDirection direction) {
    long total = 0;
    for (int h = 0; h < 24; ++h) {
        total += CellValue(day, h, direction).value_or(0);
    }
    return total;
}

bool InPeriod(const CountTable& table, int hour) {
    return table.Period.first <= hour && hour <= table.Period.second;
}

std::string LongDate(const std::string& dateText, const Date& today) {
    const std::optional<Date> d = countDataDate(dateText, today);
    return d ? formatShortDate(*d) : dateText;
}

std::string LeftOutNote(const CountTable& table) {
    if (table.LeftOutBlocks == 0 && table.LeftOutRecords == 0) {
        return {};
    }
    return "Ausgelassen wie im Bericht: " +
           counted(table.LeftOutBlocks, "Tagesblock", "Tagesblöcke") + " mit Stunde über 24, " +
           counted(table.LeftOutRecords, "Datensatz", "Datensätze") +
           " unvollständig oder für Stunde 24.";
}

std::string DirectionLabel(CountDirection direction) {
    switch (direction) {
    case CountDirection::Right:
        return "Rechts";
    case CountDirection::Left:
        return "Links";
    case CountDirection::Both:
        break;
    }
    return "beide Richtungen (Rechts + Links)";
}

std::string TableText(const CountTable& table) {
    std::string out = "Datum";
    for (int h = 0; h < 24; ++h) {
        out += "\t" + std::to_string(h);
    }
    out += "\tSumme\n";
    for (const DayCounts& day : table.Days) {
        out += LongDate(day.DateText, table.Today);
        for (int h = 0; h < 24; ++h) {
            const std::optional<long> v = CellValue(day, h, table.Direction);
            out += "\t" + (v ? std::to_string(*v) : std::string());
        }
        out += "\t" + std::to_string(DayTotal(day, table.Direction)) + "\n";
    }
    return out;
}

std::string ExportCsv(const CountData& data, const Date& today) {
    std::string out = "\xEF\xBB\xBF"
                      "Datum;Stunde;Rechts;Links;Summe\r\n";
    for (const DayCounts& day : data.Days) {
        if (day.Refused) {
            continue;
        }
        const std::string date = LongDate(day.DateText, today);
        for (int h = 0; h < 24; ++h) {
            const HourCount& c = day.Hours[static_cast<std::size_t>(h)];
            if (!day.Recorded[static_cast<std::size_t>(h)] || !c.Right || !c.Left) {
                continue;
            }
            out += date + ";" + std::to_string(h) + ";" + std::to_string(*c.Right) + ";" +
                   std::to_string(*c.Left) + ";" + std::to_string(*c.Right + *c.Left) + "\r\n";
        }
    }
    return out;
}

std::string ExportFileName(const Date& today) {
    return "EX" + zeroPadded(today.day, 2) + zeroPadded(today.month, 2) + ".csv";
}

} // namespace orva
