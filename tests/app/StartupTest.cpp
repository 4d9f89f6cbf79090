#include "app/frmEditor.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

constexpr const char* kDataDir = "/home/op/ORVA-DS";
constexpr const char* kSettings = "/home/op/ORVA-DS/ORVAInit.txt";
constexpr const char* kDefault = "Beide__Std_06:00_18:00_2\r\n";

class StartupTest : public testing::Test {
protected:
    test::FakePlatform p;
    ORVA_DS s;
    test::FakeWindow window;
    frmEditor editor{s, p.platform, window};
};

TEST_F(StartupTest, FirstStartMakesTheDataDirectorySettingsAndPort) {
    p.files.dirs.erase(kDataDir);
    p.comm.port = 9;
    editor.Form_Load();
    EXPECT_EQ(p.files.currentDir(), kDataDir);
    EXPECT_EQ(p.files.file(kSettings), kDefault);
    EXPECT_EQ(p.comm.port, 2);
    EXPECT_EQ(p.comm.lineSettings, "9600,N,8,1");
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.statusHistory, std::vector<std::string>{"Status: "});
    EXPECT_EQ(window.calls, (std::vector<std::string>{"place", "centre"}));
    EXPECT_TRUE(p.screen.boxes.empty());
}

// The day's last hours are valid; the port comes from the file.
TEST_F(StartupTest, PortComesFromTheSettingsFile) {
    p.files.files[kSettings] = "Links__Sek_20:00_23:00_3\r\n";
    editor.Form_Load();
    EXPECT_EQ(p.comm.port, 3);
    EXPECT_EQ(p.files.file(kSettings), "Links__Sek_20:00_23:00_3\r\n");
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(StartupTest, DataDirectoryThatCannotBeMadeGivesTwoBoxesAndTheProgramRunsOn) {
    p.files.dirs.erase(kDataDir);
    p.files.canMakeDirs = false;
    editor.Form_Load();
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].text, "Pfad nicht gefunden    Fehlernummer 76 aufgetreten! ");
    EXPECT_EQ(p.screen.boxes[1].text, "Fehler beim Starten!\r\nDas Verzeichnis \\ORVA-DS muß "
                                      "sich auf Laufwerk C: befinden!");
    // The rest of the start-up ran, in the folder the program was started from.
    EXPECT_EQ(p.files.file("/opt/orva/ORVAInit.txt"), kDefault);
    EXPECT_EQ(p.screen.status(), "Status: ");
}

} // namespace
} // namespace orva
