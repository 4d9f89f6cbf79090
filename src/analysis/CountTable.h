#pragma once

#include "evaluation/Evaluation.h"
#include "platform/GermanDate.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orva {

// The table window's content: every day of the count data except those the report refuses,
// one row each; the evaluation period is only highlighted.
struct CountTable {
    std::vector<DayCounts> Days;
    CountDirection Direction = CountDirection::Both; // "Rechts", "Links", or both added up
    std::pair<int, int> Period{6, 18};               // first and last hour
    int LeftOutBlocks = 0;
    int LeftOutRecords = 0; // incomplete ones and those for hour 24
    Date Today;             // the PC's date, which dates the device's two-digit years
};
CountTable MakeCountTable(const CountData& data, const Settings& settings, const Date& today);

// One cell: 0 for an hour without a record, as in the report; nothing for a day without
// records and for an hour whose record came incomplete.
std::optional<long> CellValue(const DayCounts& day, int hour, CountDirection direction);
long DayTotal(const DayCounts& day, CountDirection direction);
bool InPeriod(const CountTable& table, int hour);

// "31.12.1994" for the report's "31.12.94" (see countDataDate); a date text of any other shape
// stays as it is.
std::string LongDate(const std::string& dateText, const Date& today);
// What the table leaves out, in a sentence; empty when nothing is.
std::string LeftOutNote(const CountTable& table);
// What the direction shows, for the window's caption line.
std::string DirectionLabel(CountDirection direction);

// The table as tab-separated lines (LF) for the clipboard: a header, then one line per day.
std::string TableText(const CountTable& table);

// The spreadsheet file: UTF-8 with byte order mark, ';' between fields, CR LF; a header, then
// one row per day and hour the device stored, with what the report leaves out left out.
std::string ExportCsv(const CountData& data, const Date& today);
// "EXddmm.csv" for the PC's date.
std::string ExportFileName(const Date& today);

} // namespace orva
