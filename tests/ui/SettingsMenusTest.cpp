#include "UiRig.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

using Marks = std::vector<bool>;

// One day, 31.12.94, with 37 persons to the right and 7 to the left at 13 o'clock.
const std::string kCountText = "0000000000005E0C1F000D00250007000000000000000000";

TEST(SettingsMenus, EachDirectionIsSavedAtOnceMarkedAloneAndUsedByTheNextReport) {
    UiRig rig("Links__Sek_07:00_19:00_3");
    rig.click("mnuEins");
    EXPECT_EQ(rig.checks(kDirectionMenu), (Marks{false, true, false}));

    struct Case {
        int index;
        std::string value;
        std::string header;
        std::string row13;
    };
    for (const Case& c : {Case{2, "Rechts", "\tUhrzeit\tRechts\r\n", "\t13\t37\r\n"},
                          Case{0, "Beide_", "\tUhrzeit\tRechts\tLinks\r\n", "\t13\t37\t7\r\n"},
                          Case{1, "Links_", "\tUhrzeit\tLinks\r\n", "\t13\t7\r\n"}}) {
        SCOPED_TRACE(c.value);
        const int writes = rig.fake.files.writes;
        rig.click(kDirectionMenu, c.index);
        EXPECT_EQ(rig.fake.files.writes, writes + 1);
        EXPECT_EQ(rig.settingsLine(), c.value + "_Sek_07:00_19:00_3");
        Marks expected(3, false);
        expected[c.index] = true;
        EXPECT_EQ(rig.checks(kDirectionMenu), expected);

        rig.program.state.CountText = kCountText;
        rig.program.evaluation.BuildReport();
        EXPECT_NE(rig.fake.text.value.find(c.header + "\t07"), std::string::npos);
        EXPECT_NE(rig.fake.text.value.find(c.row13), std::string::npos);
    }
}

TEST(SettingsMenus, FinerRasterFromTheFileIsShownCheckedButCannotBeChosen) {
    UiRig rig("Beide__Min_06:00_18:00_2");
    // Until a submenu opens, the menu shows its start state.
    rig.click("mnuEins");
    EXPECT_EQ(rig.checks(kRasterMenu), (Marks{true, false, false}));
    EXPECT_EQ(rig.enabled(kRasterMenu), (Marks{true, true, true}));

    rig.click("mnuEinsU", 3);
    EXPECT_EQ(rig.checks(kRasterMenu), (Marks{false, true, false}));
    EXPECT_EQ(rig.enabled(kRasterMenu), (Marks{true, false, false}));

    rig.click(kRasterMenu, 0);
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_2");
    EXPECT_EQ(rig.checks(kRasterMenu), (Marks{true, false, false}));
    rig.click("mnuEinsU", 1);
    EXPECT_EQ(rig.enabled(kRasterMenu), (Marks{true, false, false}));
}

TEST(SettingsMenus, UnknownDirectionShowsNoMarkUntilOneIsChosen) {
    UiRig rig("Oben___Std_06:00_18:00_2");
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

} // namespace
} // namespace orva::test
