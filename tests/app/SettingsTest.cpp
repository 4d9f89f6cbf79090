#include "app/ORVA_DS.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

constexpr const char* kFile = "/home/op/ORVA-DS/ORVAInit.txt";

class SettingsTest : public testing::Test {
protected:
    SettingsTest() {
        s.NewLine = "\r\n";
        s.SettingsFolder = p.files.dataDir;
    }
    // Direction, raster, period and port as read.
    std::string fields() const {
        return s.CountDirection + "|" + s.TimeRaster + "|" + s.WindowFrom + "|" + s.WindowTo + "|" +
               s.PortNumber;
    }

    test::FakePlatform p;
    ORVA_DS s;
    OrvaModule module{s, p.platform};
};

TEST_F(SettingsTest, ReadingTakesTheLastItemByPosition) {
    const std::pair<std::string, std::string> cases[] = {
        {"Rechts_Sek_00:00_23:00_1\r\n", "Rechts|Sek|00:00|23:00|1"},
        {"Beide__Std_06:00_18:\r\n", "Beide_|Std|06:00|18:|"},
        {"Rechts_Sek_00:00_23:00_1\r\nLinks__Std_01:00_02:00_3\r\n", "Links_|Std|01:00|02:00|3"},
        {"junk,Links__Std_01:00_02:00_3\r\n", "Links_|Std|01:00|02:00|3"},
        {"   \tRechts_Sek_00:00_23:00_1\n", "Rechts|Sek|00:00|23:00|1"},
        {"\"Rechts,Sek_00:00_23:00_1\" trailing\r\n", "Rechts|Sek|00:00|23:00|1"},
        {"Rechts_Sek_00:00_23:00_1\r\n\r\n", "||||"},
        {"Rechts_Sek_00:00_23:00_1\rLinks__Std_01:00_02:00_3\r", "Links_|Std|01:00|02:00|3"},
        {std::string("\xe4\x00\x81xyz_Sek_00:00_23:00_\xff", 24),
         std::string("ä\0\xc2\x81xyz|Sek|00:00|23:00|ÿ", 27)}};
    for (const auto& [content, expected] : cases) {
        p.files.files[kFile] = content;
        module.ReadSettings();
        EXPECT_EQ(fields(), expected) << content;
    }
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(SettingsTest, FileStaysWindows1252ByteForByteWhenWrittenBack) {
    const std::string line = "Beide__Std_06:00_18:00_\xe4\r\n"; // ä, hand-edited
    p.files.files[kFile] = line;
    module.ReadSettings();
    EXPECT_EQ(s.PortNumber, "ä");
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), line);
}

TEST_F(SettingsTest, FileErrorsGiveOneBoxEachAndKeepTheValues) {
    module.ReadSettings();
    s.CountDirection = "Links_";
    p.files.readErrors[kFile] = err::PermissionDenied;
    module.ReadSettings();
    EXPECT_EQ(s.CountDirection, "Links_");
    p.files.writeErrors[kFile] = err::DiskFull;
    module.WriteSettings();
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].text, "Zugriff verweigert    Fehlernummer 70 aufgetreten! ");
    EXPECT_EQ(p.screen.boxes[1].text, "Datenträger voll    Fehlernummer 61 aufgetreten! ");
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
    p.files.writeErrors.clear();
    module.WriteSettings(); // the choice is written once the disk takes it
    EXPECT_EQ(p.files.file(kFile), "Links__Std_06:00_18:00_2\r\n");
}

} // namespace
} // namespace orva
