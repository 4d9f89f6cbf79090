#include "UiRig.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

std::string trapText(int number) {
    return runTimeErrorDescription(number) + "Fehler!" + std::to_string(number) +
           " bei Zeile 0 aufgetreten. ";
}

struct OkCase {
    const char* name;
    std::vector<std::string> clicks;
    int port;
};

class ConfigScrnOk : public testing::TestWithParam<OkCase> {};

TEST_P(ConfigScrnOk, SavesAndAppliesOnlyThePortTriesItAndCloses) {
    UiRig rig;
    const int writes = rig.fake.files.writes;
    bool closed = false;
    rig.windows.configScrn = [&](ConfigScrn& dialog) {
        for (const std::string& option : GetParam().clicks) {
            dialog.selectOption(option);
        }
        dialog.OKButton_Click();
        closed = dialog.Unloaded;
    };
    rig.click("mnuSchnittstelle");
    EXPECT_TRUE(closed);
    EXPECT_EQ(rig.fake.files.writes, writes + 1);
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_" + std::to_string(GetParam().port));
    EXPECT_EQ(rig.fake.comm.port, GetParam().port);
    EXPECT_EQ(rig.fake.comm.lineSettings, "9600,N,8,1");
    EXPECT_EQ(rig.fake.comm.opens, 1);
    EXPECT_FALSE(rig.fake.comm.open);
    EXPECT_TRUE(rig.fake.screen.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ConfigScrnOk,
    testing::Values(OkCase{"OtherPortAndParameters", {"Baud48", "EvenParity", "ComPort3"}, 3},
                    OkCase{"NothingTouched", {}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigScrn, PortOutsideTheOptionsLeavesTheDialogEmptyUntilAPortIsChosen) {
    UiRig rig("Beide__Std_06:00_18:00_7");
    ASSERT_EQ(rig.fake.comm.port, 7);
    rig.windows.configScrn = [&](ConfigScrn& dialog) {
        ASSERT_EQ(rig.fake.screen.boxes.size(), 1u);
        EXPECT_EQ(rig.fake.screen.boxes[0].text,
                  "Steuerelementfeld-Element existiert nicht    Fehlernummer 340 aufgetreten! ");
        EXPECT_TRUE(dialog.Selection.empty());
        EXPECT_FALSE(dialog.SelectedPort.has_value());

        dialog.OKButton_Click();
        ASSERT_EQ(rig.fake.screen.boxes.size(), 2u);
        EXPECT_EQ(rig.fake.screen.boxes[1].text, trapText(err::InvalidPortNumber));
        EXPECT_EQ(rig.fake.screen.boxes[1].icon, MsgIcon::None);
        EXPECT_FALSE(dialog.Unloaded);
        EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_7");

        dialog.selectOption("ComPort1");
        dialog.OKButton_Click();
        EXPECT_TRUE(dialog.Unloaded);
    };
    rig.click("mnuSchnittstelle");
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_1");
}

TEST(ConfigScrn, OpenPortIsReportedWithTheLineOfTheError) {
    UiRig rig;
    rig.fake.comm.open = true;
    rig.windows.configScrn = [](ConfigScrn& dialog) {
        dialog.selectOption("ComPort3");
        dialog.OKButton_Click();
        EXPECT_FALSE(dialog.Unloaded);
        dialog.Form_QueryUnload();
    };
    rig.click("mnuSchnittstelle");
    ASSERT_EQ(rig.fake.screen.boxes.size(), 1u);
    EXPECT_EQ(rig.fake.screen.boxes[0].text, trapText(err::PortAlreadyOpen));
    EXPECT_EQ(rig.fake.comm.port, 2);
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_2");
}

const std::string kNotAnHour =
    "Die Eingabe ist ungültig!  Es sind nur Werte von 00:00 bis 23:00 zulässig.";
const std::string kReversed = "Die Eingabe ist ungültig!  Die Zeitangabe im Feld -von:- muß "
                              "kleiner als im Feld -bis:- sein.";

struct PeriodCase {
    const char* name;
    std::string from;
    std::string to;
    std::string message; // empty: accepted
};

class PeriodOk : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodOk, AcceptsExactHourTextsInOrder) {
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
    if (c.message.empty()) {
        EXPECT_TRUE(closed);
        EXPECT_TRUE(rig.fake.screen.boxes.empty());
        EXPECT_EQ(rig.settingsLine(), "Beide__Std_" + c.from + "_" + c.to + "_2");
        EXPECT_EQ(s.WindowFrom + s.WindowTo, c.from + c.to);
    } else {
        EXPECT_FALSE(closed);
        ASSERT_EQ(rig.fake.screen.boxes.size(), 1u);
        const FakeScreen::Box& box = rig.fake.screen.boxes[0];
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.buttons, MsgButtons::OK);
        EXPECT_EQ(box.icon, MsgIcon::None);
        EXPECT_EQ(box.title, "ORVA-DS");
        EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_2");
        EXPECT_EQ(s.WindowFrom + s.WindowTo, "06:0018:00");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, PeriodOk,
                         testing::Values(PeriodCase{"SingleHour", "06:00", "06:00", ""},
                                         PeriodCase{"WholeDay", "00:00", "23:00", ""},
                                         PeriodCase{"StartAfterEnd", "18:00", "06:00", kReversed},
                                         PeriodCase{"NoLeadingZero", "6:00", "18:00", kNotAnHour},
                                         PeriodCase{"Minutes", "06:30", "18:00", kNotAnHour},
                                         PeriodCase{"Hour24", "06:00", "24:00", kNotAnHour},
                                         PeriodCase{"LeadingBlank", " 06:00", "18:00", kNotAnHour},
                                         PeriodCase{"EmptyEnd", "06:00", "", kNotAnHour},
                                         PeriodCase{"InvalidBeforeOrder", "19:00", "5:00",
                                                    kNotAnHour}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(frmErfasszr, EvaluatedHoursFollowOnlyWhenTheSettingsAreReadAgain) {
    UiRig rig;
    ORVA_DS& s = rig.program.state;
    rig.windows.erfasszr = [](frmErfasszr& dialog) {
        EXPECT_EQ(dialog.von.List.size(), 24u);
        EXPECT_EQ(dialog.bis.List.front(), "00:00");
        EXPECT_EQ(dialog.bis.List[9], "09:00");
        EXPECT_EQ(dialog.von.List.back(), "23:00");
        dialog.von.Text = "13:00";
        dialog.bis.Text = "13:00";
        dialog.OKErfasszr_Click();
    };
    rig.click("mnuEinsU", 2);
    EXPECT_EQ(s.WindowFrom, "13:00");
    EXPECT_EQ(s.WindowFromHour, "06");
    EXPECT_EQ(s.WindowToHour, "18");

    rig.windows.erfasszr = [](frmErfasszr& dialog) { dialog.Abbrechen_Click(); };
    rig.click("mnuEinsU", 2);
    EXPECT_EQ(s.WindowFromHour, "13");
    EXPECT_EQ(s.WindowToHour, "13");
}

TEST(frmErfasszr, FailedSaveIsReportedAndTheDialogStillCloses) {
    UiRig rig;
    bool closed = false;
    rig.windows.erfasszr = [&](frmErfasszr& dialog) {
        rig.fake.files.nextWriteErrors = {err::PermissionDenied};
        dialog.von.Text = "08:00";
        dialog.OKErfasszr_Click();
        closed = dialog.Unloaded;
    };
    rig.click("mnuEinsU", 2);
    EXPECT_TRUE(closed);
    ASSERT_EQ(rig.fake.screen.boxes.size(), 1u);
    EXPECT_NE(rig.fake.screen.boxes[0].text.find("Fehlernummer 70"), std::string::npos);
    EXPECT_EQ(rig.program.state.WindowFrom, "08:00");
    EXPECT_EQ(rig.settingsLine(), "Beide__Std_06:00_18:00_2");
}

TEST(frmInfo, AddressBlockHasItsLinesAndEveryChangeIsWrittenBackOnce) {
    ORVA_DS s;
    s.NewLine = "\r\n";
    frmInfo info(s);
    info.Form_Load();
    const std::string block = info.InfoBox;
    EXPECT_EQ(block, info.AddressBlock());

    std::vector<std::string> lines;
    for (std::size_t from = 0;;) {
        const std::size_t end = block.find("\r\n", from);
        lines.push_back(block.substr(from, end - from));
        if (end == std::string::npos) {
            break;
        }
        from = end + 2;
    }
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3], "ORVA-DS  Version 1.7");
    for (std::size_t i : {0, 2, 4, 6, 7}) {
        EXPECT_EQ(lines[i], "") << i;
    }
    for (std::size_t i : {1, 5, 8, 9}) {
        EXPECT_FALSE(lines[i].empty()) << i;
        EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << i;
    }

    EXPECT_TRUE(info.InfoBox_Change(block + "x"));
    EXPECT_EQ(info.InfoBox, block);
    EXPECT_TRUE(info.InfoBox_Change(""));
    EXPECT_EQ(info.InfoBox, block);
    EXPECT_FALSE(info.InfoBox_Change(block));
}

} // namespace
} // namespace orva::test
