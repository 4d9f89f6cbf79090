#pragma once

#include "app/ORVA_DS.h"
#include "app/frmEditor.h"
#include "platform/TextArea.h"

#include <array>
#include <string>

namespace orva {

// One row of the hour table, as texts: the hour label and the two counts as the records
// deliver them (five decimal digits), "0" after a reset, or empty after an incomplete record.
struct HourRow {
    std::string Hour;
    std::string Right; // "Rechts"
    std::string Left;  // "Links"
};

// Fixed texts of the report, rebuilt from `NewLine` at the start of every report.
struct ReportPieces {
    std::string BlockTrailer;
    std::string SumSeparator;
    std::string HeaderBoth;
    std::string HeaderLeft;
    std::string HeaderRight;
};

// Turns the downloaded count data into the report: one hourly table per day block.
// Lives as long as the main window, because the hour table and the chosen header carry over
// from one report to the next.
class Evaluation {
public:
    Evaluation(ORVA_DS& state, EditorVariables& vars, OrvaModule& module, TextArea& textFeld)
        : s_(state), v_(vars), module_(module), textFeld_(textFeld) {}

    // Converts `text` in groups of `HexGroupWidth` (2 or 4) hex digits into `DecimalText`.
    void HexToDecimal(const std::string& text);
    // Appends the table of `DayBlockText` to `ReportText`, or nothing when the block fails.
    void EvaluateDayBlock();
    // Evaluates every day block of `CountText` and shows the report in `TextFeld`.
    void BuildReport();

    // Rows 0-23 are reset per day block; row 24 takes a record for hour 24 and keeps it.
    std::array<HourRow, 25> HourTable;
    // The header of the last table that showed an hour; written again by a table without one.
    std::string ChosenHeader;
    std::string DayBlockText;
    ReportPieces Pieces;

private:
    void evaluateBlock();
    void preparePieces();
    void splitIntoDayBlocks();
    template <class Step> void runStep(Step step);

    ORVA_DS& s_;
    EditorVariables& v_;
    OrvaModule& module_;
    TextArea& textFeld_;
};

} // namespace orva
