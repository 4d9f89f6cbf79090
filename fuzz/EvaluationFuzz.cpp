// Any bytes as count data, with any settings: the report must come out, with only the
// evaluation's own error boxes, and nothing may crash, hang or misbehave.
//
// Input: byte 0 picks the direction (its value modulo 3: both, left, right); bytes 1-2 and 3-4
// are the period hours as text, taken as the settings file takes them (inputs that give no
// valid period are passed over); the rest is the count text.

#include "evaluation/Evaluation.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const auto* text = reinterpret_cast<const char*>(data);
    static const char* const directions[] = {"Beide_", "Links_", "Rechts"};
    const std::optional<orva::Settings> settings =
        orva::parseSettings(std::string(directions[data[0] % 3]) + "_Std_" +
                            std::string(text + 1, 2) + ":00_" + std::string(text + 3, 2) + ":00_2");
    if (!settings) {
        return 0;
    }
    const std::string_view countText(text + 5, size - 5);

    const orva::Report report = orva::MakeReport(countText, *settings, "\r\n", {});

    for (const int error : report.Errors) {
        require(error == 5 || error == 9 || error == 13);
    }
    // The report tells of no day that the count data refuse.
    const orva::CountData days = orva::ReadCountData(countText);
    std::size_t dateLines = 0;
    for (auto at = report.ReportText.find("Datum: "); at != std::string::npos;
         at = report.ReportText.find("Datum: ", at + 1)) {
        ++dateLines;
    }
    require(dateLines + static_cast<std::size_t>(days.RefusedBlocks) <= days.Days.size());
    return 0;
}
