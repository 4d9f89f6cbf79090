#include "files/DataFiles.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

// The file menu's items by index: open, save, save as, print.
enum Item { Open = 0, Save = 1, SaveAs = 2, Print = 4 };

class DataFilesTest : public testing::Test {
protected:
    DataFilesTest() {
        s.NewLine = "\r\n";
        s.SettingsFolder = p.files.cwd = p.files.dataDir;
        p.files.dirs.insert("/media/usb");
    }

    FakePlatform p;
    ORVA_DS s;
    OrvaModule module{s, p.platform};
    DataFiles files{s, module};
};

TEST_F(DataFilesTest, SaveWithoutANameAsksAndWritesWindows1252IntoTheChosenFolder) {
    p.text.value = "Zähldaten";
    p.dialog.files = {"/media/usb/TD0512.txt"};
    files.mnuDateiU_Click(Save);
    EXPECT_EQ(p.dialog.requests.at(0).first, "save");
    EXPECT_EQ(p.files.file("/media/usb/TD0512.txt"), "Z\xe4hldaten\r\n");
    EXPECT_EQ(p.files.currentDir(), "/media/usb");
    // Saved again without asking.
    p.text.value = "neu";
    files.mnuDateiU_Click(Save);
    EXPECT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.files.file("/media/usb/TD0512.txt"), "neu\r\n");
}

TEST_F(DataFilesTest, AReportIsNeverSavedOverTheSettingsFile) {
    p.files.files["/home/op/ORVA-DS/ORVAInit.txt"] = "Beide__Std_06:00_18:00_2\r\n";
    p.text.value = "Bericht";
    p.dialog.files = {"/home/op/ORVA-DS/ORVAInit.txt", "/home/op/ORVA-DS/AD0512.txt"};
    files.mnuDateiU_Click(SaveAs);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.dialog.requests.size(), 2u); // asked again
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/AD0512.txt"), "Bericht\r\n");
}

TEST_F(DataFilesTest, OpenOfAMissingNameSaysSoAndThatNameIsSavedNext) {
    p.dialog.files = {"/media/usb/neu.txt"};
    p.text.value = "vorher";
    files.mnuDateiU_Click(Open);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Datei existiert nicht!");
    EXPECT_EQ(p.text.value, "vorher");
    files.mnuDateiU_Click(Save);
    EXPECT_EQ(p.files.file("/media/usb/neu.txt"), "vorher\r\n");
}

TEST_F(DataFilesTest, PrintsEachCopyAtItsPlaceInOneJob) {
    p.text.value = "\tSumme\t37";
    p.dialog.copies = {2, 0};
    files.mnuDateiU_Click(Print);
    EXPECT_EQ(p.printer.log,
              (std::vector<std::string>{"print 1000,1000: \tSumme\t37", "newPage",
                                        "print 1000,1000: \tSumme\t37", "newPage", "endDoc"}));
    p.printer.log.clear();
    files.mnuDateiU_Click(Print);
    EXPECT_EQ(p.printer.log, std::vector<std::string>{"endDoc"});
}

} // namespace
} // namespace orva::test
