// Any bytes as count data, with any settings: the report must come out, with only the
// evaluation's own error boxes, and nothing may crash, hang or misbehave.
//
// Input: byte 0 picks the direction (bits 0-1: both, left, right, or an unknown text) and
// whether the period hours were never read (bits 2 and 3); bytes 1-2 and 3-4 are the period
// hours as text; the rest is the count text.

#include "evaluation/Evaluation.h"
#include "fakes/FakePlatform.h"

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
    static const char* const directions[] = {"Beide_", "Links_", "Rechts", "Beide "};

    orva::test::FakePlatform fake;
    orva::ORVA_DS state;
    orva::EditorVariables vars;
    orva::OrvaModule module{state, fake.platform};
    orva::Evaluation evaluation{state, vars, module, fake.text};
    state.NewLine = "\r\n";
    state.CountDirection = directions[data[0] & 3];
    if ((data[0] & 4) == 0) {
        state.WindowFromHour = std::string(text + 1, 2);
    }
    if ((data[0] & 8) == 0) {
        state.WindowToHour = std::string(text + 3, 2);
    }
    state.CountText.assign(text + 5, size - 5);

    evaluation.BuildReport();

    require(fake.text.value == state.ReportText);
    for (const auto& box : fake.screen.boxes) {
        const bool ownError = box.text.ends_with("Fehlernummer 5 aufgetreten! ") ||
                              box.text.ends_with("Fehlernummer 9 aufgetreten! ") ||
                              box.text.ends_with("Fehlernummer 13 aufgetreten! ");
        require(ownError);
    }
    return 0;
}
