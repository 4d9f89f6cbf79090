#include "UiRig.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

// The cases the user meets first (18:00 to 06:00, 6:00, 06:00 to 06:00) are played on the real
// dialog in DialogWindowTest.
struct PeriodCase {
    const char* name;
    std::string from;
    std::string to;
    bool accepted;
};

class PeriodOk : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodOk, AcceptsOnlyExactHourTextsInOrder) {
    const PeriodCase& c = GetParam();
    UiRig rig;
    bool closed = false;
    rig.windows.erfasszr = [&](frmErfasszr& dialog) {
        dialog.von.Text = c.from;
        dialog.bis.Text = c.to;
        dialog.OKErfasszr_Click();
        closed = dialog.Unloaded;
        EXPECT_EQ(dialog.von.Text, c.from);
    };
    rig.click("mnuEinsU", 2);
    const ORVA_DS& s = rig.program.state;
    EXPECT_EQ(closed, c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(rig.fake.screen.boxes.empty());
        EXPECT_EQ(rig.settingsLine(), "Beide__Std_" + c.from + "_" + c.to + "_2");
        EXPECT_EQ(s.WindowFrom + s.WindowTo, c.from + c.to);
        return;
    }
    ASSERT_EQ(rig.fake.screen.boxes.size(), 1u);
    const FakeScreen::Box& box = rig.fake.screen.boxes[0];
    EXPECT_EQ(box.text,
              "Die Eingabe ist ungültig!  Es sind nur Werte von 00:00 bis 23:00 zulässig.");
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.title, "ORVA-DS");
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_2");
    EXPECT_EQ(s.WindowFrom + s.WindowTo, "06:0018:00");
}

INSTANTIATE_TEST_SUITE_P(Texts, PeriodOk,
                         testing::Values(PeriodCase{"WholeDay", "00:00", "23:00", true},
                                         PeriodCase{"Minutes", "06:30", "18:00", false},
                                         PeriodCase{"Hour24", "06:00", "24:00", false},
                                         PeriodCase{"LeadingBlank", " 06:00", "18:00", false},
                                         PeriodCase{"EmptyEnd", "06:00", "", false},
                                         PeriodCase{"InvalidBeforeOrder", "19:00", "5:00", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(frmErfasszr, ConfirmedPeriodAppliesToTheNextReportAtOnce) {
    UiRig rig;
    ORVA_DS& s = rig.program.state;
    rig.windows.erfasszr = [](frmErfasszr& dialog) {
        dialog.von.Text = "08:00";
        dialog.bis.Text = "12:00";
        dialog.OKErfasszr_Click();
    };
    rig.click("mnuEinsU", 2);
    EXPECT_EQ(s.WindowFromHour, "08");
    EXPECT_EQ(s.WindowToHour, "12");
}

} // namespace
} // namespace orva::test
