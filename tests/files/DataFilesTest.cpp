#include "files/DataFiles.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

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
    EXPECT_TRUE(files.Save());
    EXPECT_EQ(p.dialog.requests.at(0).first, "save");
    EXPECT_EQ(p.files.file("/media/usb/TD0512.txt"), "Z\xe4hldaten\r\n");
    EXPECT_EQ(p.files.currentDir(), "/media/usb");
    // Saved again without asking.
    p.text.value = "neu";
    EXPECT_TRUE(files.Save());
    EXPECT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.files.file("/media/usb/TD0512.txt"), "neu\r\n");
    const int writes = p.files.writes; // unchanged since saved: not written again
    EXPECT_TRUE(files.Save());
    EXPECT_EQ(p.files.writes, writes);
}

TEST_F(DataFilesTest, OpenOfAHugeFileOrAMissingNameSaysSoAndThatNameIsSavedNext) {
    p.files.files["/media/usb/riesig.txt"] = std::string(kMaxOpenBytes + 1, 'x');
    p.dialog.files = {"/media/usb/riesig.txt", "/media/usb/neu.txt"};
    p.text.setText("vorher");
    EXPECT_TRUE(files.OpenDataFile());
    EXPECT_TRUE(s.DataFileName.empty() && p.files.currentDir() == p.files.dataDir);
    EXPECT_TRUE(files.OpenDataFile());
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_NE(p.screen.boxes[0].text.find("größer als 16 MB"), std::string::npos);
    EXPECT_EQ(p.screen.boxes[1].text, "Datei existiert nicht!");
    EXPECT_EQ(p.text.value, "vorher");
    EXPECT_TRUE(files.Save());
    EXPECT_EQ(p.files.file("/media/usb/neu.txt"), "vorher\r\n");
}

TEST_F(DataFilesTest, TypedTextIsSavedOnQuitOnlyWhenTheUserSaysSo) {
    p.files.files["/media/usb/AB0211.txt"] = "\tZ\xe4hl\r\n";
    p.dialog.files = {"/media/usb/AB0211.txt"};
    EXPECT_TRUE(files.OpenDataFile());
    EXPECT_EQ(p.text.value, "\tZähl\r\n");
    EXPECT_EQ(p.screen.status(), "Datei-Pfad: /media/usb/AB0211.txt");
    p.text.value = "Notiz";
    p.screen.answers = {answer::Cancel, answer::Yes};
    EXPECT_TRUE(files.Quit());
    EXPECT_EQ(p.screen.ends, 0);
    EXPECT_TRUE(files.Quit()); // saved as "Speichern" would, then ended
    EXPECT_EQ(p.screen.ends, 1);
    EXPECT_EQ(p.files.file("/media/usb/AB0211.txt"), "Notiz\r\n");
}

TEST_F(DataFilesTest, PrintsEachCopyAtItsPlaceInOneJob) {
    p.text.value = "\tSumme\t37";
    p.dialog.copies = {2, 0};
    EXPECT_TRUE(files.PrintTextArea());
    EXPECT_EQ(p.printer.log,
              (std::vector<std::string>{"print 1000,1000: \tSumme\t37", "newPage",
                                        "print 1000,1000: \tSumme\t37", "newPage", "endDoc"}));
    p.printer.log.clear();
    EXPECT_TRUE(files.PrintTextArea());
    EXPECT_EQ(p.printer.log, std::vector<std::string>{"endDoc"});
}

} // namespace
} // namespace orva::test
