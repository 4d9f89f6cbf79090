#include "files/DataFiles.h"
#include "fakes/FakePlatform.h"
#include "platform/StdFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

namespace orva {
namespace {

const std::string kNoDisk = "  Keine Diskette!    Legen Sie eine Diskette in das Laufwerk ein";

class DataFilesTest : public testing::Test {
protected:
    DataFilesTest() {
        s.NewLine = "\r\n";
        p.files.cwd = p.files.dataDir;
        p.files.dirs.insert("/media/usb");
    }

    test::FakePlatform p;
    ORVA_DS s;
    OrvaModule module{s, p.platform};
    DataFiles files{s, module};
};

TEST_F(DataFilesTest, SaveWithoutANameAsksLikeSaveAs) {
    p.text.value = "Bericht";
    p.dialog.files = {"/media/usb/TD0512.txt"};
    files.mnuDateiU_Click(1);
    ASSERT_EQ(p.dialog.requests.size(), 1u);
    const auto& [kind, request] = p.dialog.requests[0];
    EXPECT_EQ(kind, "save");
    EXPECT_EQ(request.filter, "Alle Dateien (*.*)|*.*|Textdateien (*.txt)|*.txt|Stapeldateien "
                              "(*.bat)|*.bat");
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.flags, 6);
    EXPECT_EQ(p.files.file("/media/usb/TD0512.txt"), "Bericht\r\n");
    EXPECT_EQ(s.DataFileName, "TD0512.txt");
    EXPECT_EQ(p.files.currentDir(), "/media/usb");
    EXPECT_EQ(s.AskFileName, 0);
    EXPECT_EQ(p.screen.eventRuns, 1);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(DataFilesTest, AfterACancelledSaveAsOfADownloadSaveWritesTheProposedName) {
    p.text.value = "Bericht";
    s.DataFileName = "AD0512.txt";
    files.DialogFileName = "AD0512.txt";
    s.AskFileName = 1;
    files.SaveDataFile(); // the download's save: cancelled
    EXPECT_EQ(p.dialog.requests.at(0).second.fileName, "AD0512.txt");
    EXPECT_FALSE(p.files.file("AD0512.txt").has_value());
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(s.AskFileName, 1);
    files.mnuDateiU_Click(1);
    EXPECT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/AD0512.txt"), "Bericht\r\n");
}

TEST_F(DataFilesTest, AReportIsNeverSavedOverTheSettingsFile) {
    s.SettingsFolder = "/home/op/ORVA-DS";
    p.files.files["/home/op/ORVA-DS/ORVAInit.txt"] = "Beide__Std_06:00_18:00_2\r\n";
    p.text.value = "Bericht";
    p.dialog.files = {"/home/op/ORVA-DS/ORVAInit.txt", "/home/op/ORVA-DS/AD0512.txt"};
    files.mnuDateiU_Click(2);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(p.dialog.requests.size(), 2u); // asked again
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/AD0512.txt"), "Bericht\r\n");
}

TEST_F(DataFilesTest, OpenOfAMissingNameSaysSoAndThatNameIsSavedNext) {
    p.dialog.files = {"/media/usb/neu.txt"};
    files.mnuDateiU_Click(0);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Datei existiert nicht!");
    EXPECT_EQ(p.screen.boxes[0].title, "ORVA-DS");
    EXPECT_EQ(s.DataFileName, "neu.txt");
    p.text.value = "x";
    files.mnuDateiU_Click(1);
    EXPECT_EQ(p.files.file("/media/usb/neu.txt"), "x\r\n");
}

TEST_F(DataFilesTest, OpenReadsTheWholeFileAndShowsItsPath) {
    p.files.files["/media/usb/AB0211.txt"] = "\tZ\xe4hl\r\n\tdaten";
    s.DataFileName = "TD0512.txt";
    p.dialog.files = {"/media/usb/AB0211.txt"};
    files.OpenDataFile();
    EXPECT_EQ(p.dialog.requests.at(0).second.fileName, "TD0512.txt");
    EXPECT_EQ(p.text.value, "\tZähl\r\n\tdaten");
    EXPECT_EQ(p.screen.status(), "Datei-Pfad: /media/usb/AB0211.txt");
    EXPECT_EQ(p.text.focusCount, 1);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(DataFilesTest, CancelledDialogsChangeNothing) {
    s.DataFileName = "TD0512.txt";
    p.text.value = "bleibt";
    files.mnuDateiU_Click(0);
    files.mnuDateiU_Click(2);
    files.mnuDateiU_Click(4);
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(s.DataFileName, "TD0512.txt");
    EXPECT_EQ(s.AskFileName, 1);
    EXPECT_EQ(p.text.value, "bleibt");
    EXPECT_EQ(p.files.writes, 0);
    EXPECT_TRUE(p.printer.log.empty());
}

TEST_F(DataFilesTest, DriveNotReadyAsksAndTriesTheSameStepAgain) {
    p.text.value = "Bericht";
    s.DataFileName = "TD0512.txt";
    p.files.nextWriteErrors = {err::DiskNotReady, err::DiskNotReady};
    files.mnuDateiU_Click(1);
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].text, kNoDisk);
    EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(p.files.file("TD0512.txt"), "Bericht\r\n");

    p.files.files["/home/op/ORVA-DS/x.txt"] = "inhalt";
    p.files.nextReadErrors = {err::DiskNotReady};
    p.dialog.files = {"/home/op/ORVA-DS/x.txt"};
    files.OpenDataFile();
    EXPECT_EQ(p.screen.boxes.at(2).icon, MsgIcon::Exclamation);
    EXPECT_EQ(p.text.value, "inhalt");
}

TEST_F(DataFilesTest, AFailingWriteIsReportedOnceKeepsTheOldFileAndEnds) {
    p.files.files["/home/op/ORVA-DS/TD0512.txt"] = "alt\r\n";
    s.DataFileName = "TD0512.txt";
    p.text.value = "neu";
    p.files.writeErrors["/home/op/ORVA-DS/TD0512.txt"] = err::DiskFull;
    files.mnuDateiU_Click(1);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Datenträger voll    Fehlernummer 61 aufgetreten! ");
    EXPECT_EQ(p.files.file("TD0512.txt"), "alt\r\n");
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(DataFilesTest, AnUnreadableFileIsReportedOnce) {
    p.files.files["/home/op/ORVA-DS/x.txt"] = "inhalt";
    p.files.readErrors["/home/op/ORVA-DS/x.txt"] = err::PermissionDenied;
    p.dialog.files = {"/home/op/ORVA-DS/x.txt"};
    p.text.value = "vorher";
    files.OpenDataFile();
    EXPECT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.text.value, "vorher");
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(DataFilesTest, PrintsEachCopyAtItsPlaceInOneJob) {
    p.text.value = "\tSumme\t37";
    p.dialog.copies = {2};
    files.mnuDateiU_Click(4);
    EXPECT_EQ(p.dialog.printFlags, std::vector<int>{0x10000C});
    EXPECT_EQ(p.printer.log,
              (std::vector<std::string>{"print 1000,1000: \tSumme\t37", "newPage",
                                        "print 1000,1000: \tSumme\t37", "newPage", "endDoc"}));
    EXPECT_EQ(p.text.focusCount, 1);
}

TEST_F(DataFilesTest, ZeroCopiesOnlyEndsTheJob) {
    p.dialog.copies = {0};
    files.PrintTextArea();
    EXPECT_EQ(p.printer.log, std::vector<std::string>{"endDoc"});
}

TEST_F(DataFilesTest, QuitEndsTheProgramWithoutAsking) {
    p.text.value = "ungespeichert";
    files.mnuDateiU_Click(6);
    EXPECT_TRUE(p.screen.ended);
    EXPECT_TRUE(p.screen.boxes.empty());
}

// Real files: what is saved is what opens, byte for byte, plus one line end per save.
TEST(DataFilesOnDisk, SaveAndOpenRoundTrip) {
    const fs::path dir =
        fs::temp_directory_path() / ("orva-files-roundtrip-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    test::FakePlatform fakes;
    StdFileSystem disk;
    Platform platform{fakes.comm,    fakes.screen, fakes.text, fakes.dialog,
                      fakes.printer, fakes.clock,  disk};
    ORVA_DS s;
    s.NewLine = "\r\n";
    OrvaModule module(s, platform);
    DataFiles files(s, module);
    const fs::path before = fs::current_path();
    const std::string path = (dir / "TD0512.txt").string();

    fakes.text.value = "\tZähldaten\tÄÖÜß\r\n\t12\t0";
    fakes.dialog.files = {path, path, path};
    files.mnuDateiU_Click(2);
    files.mnuDateiU_Click(0);
    EXPECT_EQ(fakes.text.value, "\tZähldaten\tÄÖÜß\r\n\t12\t0\r\n");
    files.mnuDateiU_Click(1);
    files.mnuDateiU_Click(0);
    EXPECT_EQ(fakes.text.value, "\tZähldaten\tÄÖÜß\r\n\t12\t0\r\n\r\n");
    EXPECT_EQ(disk.readFile(path), "\tZ\xe4hldaten\t\xc4\xd6\xdc\xdf\r\n\t12\t0\r\n\r\n");

    disk.writeFile((dir / "leer.txt").string(), "");
    fakes.dialog.files = {(dir / "leer.txt").string()};
    files.OpenDataFile();
    EXPECT_EQ(fakes.text.value, "");
    EXPECT_TRUE(fakes.screen.boxes.empty());
    fs::current_path(before);
    fs::remove_all(dir);
}

} // namespace
} // namespace orva
