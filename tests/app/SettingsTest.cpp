#include "app/ORVA_DS.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

using test::FakePlatform;

constexpr const char* kFile = "/home/op/ORVA-DS/ORVAInit.txt";

class SettingsTest : public testing::Test {
protected:
    SettingsTest() {
        s.NewLine = "\r\n";
        s.SettingsFolder = p.files.dataDir;
    }

    struct Fields {
        std::string direction, raster, from, to, port, fromHour, toHour;
        bool operator==(const Fields&) const = default;
    };
    Fields fields() const {
        return {s.CountDirection,
                s.TimeRaster,
                s.WindowFrom,
                s.WindowTo,
                s.PortNumber,
                s.WindowFromHour.value_or("<empty>"),
                s.WindowToHour.value_or("<empty>")};
    }

    FakePlatform p;
    ORVA_DS s;
    OrvaModule module{s, p.platform};
};

TEST_F(SettingsTest, MissingFileIsCreatedWithTheDefaultLine) {
    module.ReadSettings();
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(fields(), (Fields{"Beide_", "Std", "06:00", "18:00", "2", "06", "18"}));
    EXPECT_TRUE(p.screen.boxes.empty());
}

struct ReadCase {
    const char* name;
    std::string content;
    std::vector<std::string> expected; // direction, raster, from, to, port
};

class SettingsRead : public SettingsTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, TakesTheLastItemByPosition) {
    p.files.files[kFile] = GetParam().content;
    module.ReadSettings();
    const auto& e = GetParam().expected;
    EXPECT_EQ(fields(),
              (Fields{e[0], e[1], e[2], e[3], e[4], e[2].substr(0, 2), e[3].substr(0, 2)}));
    EXPECT_TRUE(p.screen.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, SettingsRead,
    testing::Values(
        ReadCase{"AllOtherValues",
                 "Rechts_Sek_00:00_23:00_1\r\n",
                 {"Rechts", "Sek", "00:00", "23:00", "1"}},
        ReadCase{"NoLineEnd", "Links__Min_07:00_08:00_4", {"Links_", "Min", "07:00", "08:00", "4"}},
        ReadCase{"ShortLine", "Beide__Std_06:00_18:\r\n", {"Beide_", "Std", "06:00", "18:", ""}},
        ReadCase{"LastLineCounts",
                 "Rechts_Sek_00:00_23:00_1\r\nLinks__Std_01:00_02:00_3\r\n",
                 {"Links_", "Std", "01:00", "02:00", "3"}},
        ReadCase{"TextAfterLastComma",
                 "junk,Links__Std_01:00_02:00_3\r\n",
                 {"Links_", "Std", "01:00", "02:00", "3"}},
        ReadCase{"LeadingBlanksSkipped",
                 "   \tRechts_Sek_00:00_23:00_1\n",
                 {"Rechts", "Sek", "00:00", "23:00", "1"}},
        ReadCase{"QuotedItemKeepsItsComma",
                 "\"Rechts,Sek_00:00_23:00_1\" trailing\r\n",
                 {"Rechts", "Sek", "00:00", "23:00", "1"}},
        ReadCase{"UnclosedQuoteRunsToTheEnd",
                 "\"Links__Std_01:00_02:00_3",
                 {"Links_", "Std", "01:00", "02:00", "3"}},
        ReadCase{"BlankLastLineEmptiesEverything",
                 "Rechts_Sek_00:00_23:00_1\r\n\r\n",
                 {"", "", "", "", ""}},
        ReadCase{"OnlyCommas", ",,,", {"", "", "", "", ""}},
        ReadCase{"LoneCarriageReturns",
                 "Rechts_Sek_00:00_23:00_1\rLinks__Std_01:00_02:00_3\r",
                 {"Links_", "Std", "01:00", "02:00", "3"}},
        ReadCase{"BinaryBytesAreCharacters",
                 std::string("\xe4\x00\x81xyz_Sek_00:00_23:00_\xff", 24),
                 {std::string("ä\0\xc2\x81xyz", 8), "Sek", "00:00", "23:00", "ÿ"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(SettingsTest, FileStaysWindows1252ByteForByteWhenWrittenBack) {
    const std::string line = "Beide__Std_06:00_18:00_\xe4\r\n"; // ä, hand-edited
    p.files.files[kFile] = line;
    module.ReadSettings();
    EXPECT_EQ(s.PortNumber, "ä");
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), line);
}

TEST_F(SettingsTest, EmptyFileEmptiesTheSettingsAndThePortFallsBackToTwo) {
    p.files.files[kFile] = "";
    p.comm.port = 7;
    module.ReadSettings();
    EXPECT_EQ(fields(), (Fields{"", "", "", "", "", "", ""}));
    module.ApplyPortSettings();
    EXPECT_EQ(s.PortNumber, "2");
    EXPECT_EQ(p.comm.port, 7);
    EXPECT_EQ(p.comm.lineSettings, "9600,N,8,1");
    EXPECT_EQ(p.comm.len, 1);
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(SettingsTest, ShortLineIsRepairedWithPortTwoAtTheNextWrite) {
    p.files.files[kFile] = "Beide__Std_06:00_18:0\r\n";
    module.ReadSettings();
    EXPECT_EQ(s.WindowTo, "18:0");
    module.ApplyPortSettings();
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:0_2\r\n");
}

TEST_F(SettingsTest, HugeFileStillGivesTheLastItem) {
    std::string big(4 * 1024 * 1024, 'x');
    big += ",Links__Std_01:00_02:00_3";
    p.files.files[kFile] = big;
    module.ReadSettings();
    EXPECT_EQ(s.CountDirection, "Links_");
    EXPECT_EQ(s.PortNumber, "3");
}

TEST_F(SettingsTest, PortFieldThatIsNoNumberIsAConversionError) {
    for (const char* line : {"Beide__Std_06:00_18:00_x", "Beide__Std_06:00_18:00_0"}) {
        FakePlatform fresh;
        ORVA_DS st;
        st.NewLine = "\r\n";
        st.SettingsFolder = fresh.files.dataDir;
        OrvaModule m(st, fresh.platform);
        fresh.files.files[kFile] = line;
        m.ReadSettings();
        m.ApplyPortSettings();
        ASSERT_EQ(fresh.screen.boxes.size(), 1u) << line;
        EXPECT_EQ(fresh.screen.boxes[0].text,
                  "Typen unverträglich    Fehlernummer 13 aufgetreten! ");
        EXPECT_EQ(fresh.screen.boxes[0].title, "ORVA-DS");
        // Neither the line parameters nor the input length were applied.
        EXPECT_EQ(fresh.comm.lineSettings, "");
        EXPECT_EQ(fresh.comm.len, 0);
    }
}

TEST_F(SettingsTest, WriteKeepsFixedPositions) {
    module.ReadSettings();
    s.CountDirection = "Rechts";
    s.PortNumber = "3";
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), "Rechts_Std_06:00_18:00_3\r\n");
}

TEST_F(SettingsTest, DeletedFileIsRecreatedWithTheCurrentChoice) {
    module.ReadSettings();
    p.files.files.erase(kFile);
    s.CountDirection = "Links_";
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), "Links__Std_06:00_18:00_2\r\n");
}

TEST_F(SettingsTest, DeletedFileWithBrokenSettingsGetsTheDefaultLine) {
    p.files.files[kFile] = "Foo____Std_06:00_18:00_2\r\n";
    module.ReadSettings();
    p.files.files.erase(kFile);
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
}

TEST_F(SettingsTest, SettingsStayInTheStartUpFolderWhenTheCurrentDirectoryMoves) {
    module.ReadSettings();
    p.files.dirs.insert("/media/usb");
    p.files.setCurrentDir("/media/usb");
    s.CountDirection = "Rechts";
    module.WriteSettings();
    module.ReadSettings();
    EXPECT_EQ(p.files.file(kFile), "Rechts_Std_06:00_18:00_2\r\n");
    EXPECT_FALSE(p.files.file("/media/usb/ORVAInit.txt").has_value());
    EXPECT_EQ(s.CountDirection, "Rechts");
}

TEST_F(SettingsTest, UnreadableFileGivesOneBoxAndKeepsTheValues) {
    module.ReadSettings();
    s.CountDirection = "Links_";
    p.files.readErrors[kFile] = err::PermissionDenied;
    module.ReadSettings();
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Zugriff verweigert    Fehlernummer 70 aufgetreten! ");
    EXPECT_EQ(s.CountDirection, "Links_");
}

TEST_F(SettingsTest, UnwritableFileGivesOneBoxAndTheChoiceIsWrittenLater) {
    module.ReadSettings();
    p.files.writeErrors[kFile] = err::DiskFull;
    s.CountDirection = "Rechts";
    module.WriteSettings();
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Datenträger voll    Fehlernummer 61 aufgetreten! ");
    EXPECT_EQ(p.files.file(kFile), "Beide__Std_06:00_18:00_2\r\n");
    p.files.writeErrors.clear();
    module.WriteSettings();
    EXPECT_EQ(p.files.file(kFile), "Rechts_Std_06:00_18:00_2\r\n");
}

struct ReportCase {
    int number;
    std::string text; // empty: no box
    MsgIcon icon;
};

class ReportRunTimeErrorTest : public SettingsTest,
                               public testing::WithParamInterface<ReportCase> {};

TEST_P(ReportRunTimeErrorTest, ShowsTheMessageForTheErrorNumber) {
    p.screen.setPointer(Pointer::Hourglass);
    module.ReportRunTimeError(RunTimeError(GetParam().number));
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    if (GetParam().text.empty()) {
        EXPECT_TRUE(p.screen.boxes.empty());
        return;
    }
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, GetParam().text);
    EXPECT_EQ(p.screen.boxes[0].icon, GetParam().icon);
    EXPECT_EQ(p.screen.boxes[0].buttons, MsgButtons::OK);
    EXPECT_EQ(p.screen.boxes[0].title, "ORVA-DS");
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ReportRunTimeErrorTest,
    testing::Values(
        ReportCase{68,
                   "Dieser Schnittstellen-Anschluß ist nicht verfügbar!\r\n\r\nWählen Sie einen "
                   "anderen Anschluß!",
                   MsgIcon::Exclamation},
        ReportCase{32755, "", MsgIcon::None},
        ReportCase{71, "  Keine Diskette!    Legen Sie eine Diskette in das Laufwerk ein",
                   MsgIcon::None},
        ReportCase{53, "Datei nicht gefunden    Fehlernummer 53 aufgetreten! ", MsgIcon::None},
        ReportCase{9, "Index außerhalb des gültigen Bereichs    Fehlernummer 9 aufgetreten! ",
                   MsgIcon::None}),
    [](const auto& info) { return "Error" + std::to_string(info.param.number); });

} // namespace
} // namespace orva
