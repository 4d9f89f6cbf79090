#include "app/ORVA_DS.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

constexpr const char* kFile = "/home/op/ORVA-DS/ORVAInit.txt";
using D = CountDirection;
using R = TimeRaster;

class SettingsTest : public testing::Test {
protected:
    SettingsTest() {
        s.NewLine = "\r\n";
        s.SettingsFolder = p.files.dataDir;
    }

    test::FakePlatform p;
    ORVA_DS s;
    OrvaModule module{s, p.platform};
};

TEST_F(SettingsTest, ReadingTakesTheLastItemByPosition) {
    const std::pair<std::string, Settings> cases[] = {
        {"Rechts_Sek_00:00_23:00_1\r\nLinks__Min_01:00_02:00_4\r\n",
         {D::Left, R::Minutes, 1, 2, 4}},
        {"junk,Links__Std_01:00_02:00_3\r\n", {D::Left, R::Hours, 1, 2, 3}},
        {"   \tRechts_Sek_00:00_23:00_1\n", {D::Right, R::Seconds, 0, 23, 1}},
        {"\"Rechts,Sek_00:00_23:00_1\" trailing\r\n", {D::Right, R::Seconds, 0, 23, 1}},
        {"Rechts_Sek_00:00_23:00_1\rLinks__Std_01:00_02:00_3\r", {D::Left, R::Hours, 1, 2, 3}},
        {"Beide_xStd-09:00.09:00:4 and more", {D::Both, R::Hours, 9, 9, 4}}};
    for (const auto& [content, expected] : cases) {
        p.files.files[kFile] = content;
        ASSERT_TRUE(module.ReadSettings());
        EXPECT_EQ(s.settings, expected) << content;
    }
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(p.files.writes, 0);
}

// Anything the menus and dialogs do not offer puts the basic setting in force and into the file.
TEST_F(SettingsTest, ALineWithoutValidSettingsIsReplacedByTheBasicSetting) {
    for (const char* content :
         {"", "Rechts_Sek_00:00_23:00_1\r\n\r\n", "Beide__Std_06:00_18:",
          "Beide__Std_06:00_18:00_0", "Beide__Std_06:00_18:00_5", "Beide__Std_18:00_06:00_2",
          "Beide__Std_06:00_24:00_2", "beide__Std_06:00_18:00_2", "Beide__Stu_06:00_18:00_2"}) {
        p.files.files[kFile] = content;
        p.screen.boxes.clear();
        s.settings = {D::Right, R::Seconds, 22, 23, 3};
        ASSERT_TRUE(module.ReadSettings());
        EXPECT_EQ(s.settings, Settings{}) << content;
        EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
        ASSERT_EQ(p.screen.boxes.size(), 1u) << content;
        EXPECT_EQ(p.screen.boxes[0].text,
                  "Die Einstellungsdatei ORVAInit.txt enthielt keine gültigen Einstellungen."
                  "\r\n\r\nSie wurde durch die Grundeinstellung ersetzt: beide Richtungen, "
                  "Stunden, 06:00 bis 18:00 Uhr, Schnittstelle COM2.");
        EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::Exclamation);
    }
}

TEST_F(SettingsTest, FileErrorsGiveOneBoxEachAndKeepTheValues) {
    ASSERT_TRUE(module.ReadSettings());
    s.settings.direction = D::Left;
    p.files.readErrors[kFile] = err::PermissionDenied;
    module.succeeded(module.ReadSettings());
    EXPECT_EQ(s.settings.direction, D::Left);
    p.files.writeErrors[kFile] = err::DiskFull;
    module.succeeded(module.WriteSettings());
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].text, "Zugriff verweigert    Fehlernummer 70 aufgetreten! ");
    EXPECT_EQ(p.screen.boxes[1].text, "Datenträger voll    Fehlernummer 61 aufgetreten! ");
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
    p.files.writeErrors.clear();
    ASSERT_TRUE(module.WriteSettings()); // the choice is written once the disk takes it
    EXPECT_EQ(p.files.file(kFile), "Links__Std_06:00_18:00_2\r\n");
}

} // namespace
} // namespace orva
