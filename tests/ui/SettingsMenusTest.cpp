#include "UiRig.h"

#include <gtest/gtest.h>

#include <utility>

namespace orva::test {
namespace {

using Marks = std::vector<bool>;

TEST(SettingsMenus, EachDirectionIsSavedAtOnceAndMarkedAlone) {
    UiRig rig("Links__Sek_07:00_19:00_3");
    rig.click("mnuEins");
    EXPECT_EQ(rig.checks(kDirectionMenu), (Marks{false, true, false}));

    const std::pair<int, std::string> choices[] = {{2, "Rechts"}, {0, "Beide_"}, {1, "Links_"}};
    for (const auto& [index, value] : choices) {
        SCOPED_TRACE(value);
        const int writes = rig.fake.files.writes;
        rig.click(kDirectionMenu, index);
        EXPECT_EQ(rig.fake.files.writes, writes + 1);
        EXPECT_EQ(rig.settingsLine(), value + "_Sek_07:00_19:00_3");
        Marks expected(3, false);
        expected[static_cast<std::size_t>(index)] = true;
        EXPECT_EQ(rig.checks(kDirectionMenu), expected);
    }
}

TEST(SettingsMenus, UnknownDirectionShowsNoMarkUntilOneIsChosen) {
    UiRig rig;
    // A hand edit read again by the period dialog; start-up would have replaced it.
    rig.program.state.CountDirection = "Oben__";
    rig.click("mnuEins");
    rig.click("mnuEinsU", 1);
    EXPECT_EQ(rig.checks(kDirectionMenu), (Marks{false, false, false}));
    rig.click(kDirectionMenu, 2);
    EXPECT_EQ(rig.settingsLine(), "Rechts_Std_06:00_18:00_2");
    EXPECT_EQ(rig.checks(kDirectionMenu), (Marks{false, false, true}));
}

TEST(SettingsMenus, OnlyThePeriodItemOpensItsDialogAndTheMarksAreRefreshedFirst) {
    UiRig rig("Rechts_Sek_06:00_18:00_2");
    rig.click("mnuEinsU", 1);
    rig.click("mnuEinsU", 3);
    EXPECT_TRUE(rig.windows.shown.empty());

    Marks directionAtOpening;
    Marks rasterAtOpening;
    rig.windows.erfasszr = [&](frmErfasszr& dialog) {
        directionAtOpening = rig.checks(kDirectionMenu);
        rasterAtOpening = rig.checks(kRasterMenu);
        EXPECT_EQ(dialog.von.Text, "06:00");
        dialog.Abbrechen_Click();
    };
    rig.program.state.CountDirection = "Beide_"; // as if the menus had not been opened since
    rig.click("mnuEinsU", 2);
    EXPECT_EQ(rig.windows.shown, std::vector<std::string>{"frmErfasszr"});
    EXPECT_EQ(directionAtOpening, (Marks{true, false, false}));
    EXPECT_EQ(rasterAtOpening, (Marks{false, false, true}));
}

TEST(MenuWiring, EveryEnabledItemRunsACommandAndEveryCommandHasAnItem) {
    UiRig rig;
    EXPECT_EQ(rig.program.editor.menu().unwiredItems(), std::vector<std::string>{});
    EXPECT_EQ(rig.program.editor.menu().strayHandlers(), std::vector<std::string>{});
}

} // namespace
} // namespace orva::test
