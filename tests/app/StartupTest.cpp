#include "app/frmEditor.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

using test::FakeWindow;

class StartupTest : public testing::Test {
protected:
    test::FakePlatform p;
    ORVA_DS s;
    FakeWindow window;
    frmEditor editor{s, p.platform, window};
};

TEST_F(StartupTest, PreparesDirectorySettingsPortAndStatus) {
    p.comm.port = 9;
    editor.Form_Load();
    EXPECT_EQ(p.files.currentDir(), "/home/op/ORVA-DS");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(p.comm.port, 2);
    EXPECT_EQ(p.comm.lineSettings, "9600,N,8,1");
    EXPECT_EQ(p.comm.len, 1);
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(s.NewLine, "\r\n");
    EXPECT_EQ(p.screen.statusHistory, std::vector<std::string>{"Status: "});
    EXPECT_EQ(window.calls, (std::vector<std::string>{"place", "centre"}));
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(StartupTest, MissingDataDirectoryIsMade) {
    p.files.dirs.erase("/home/op/ORVA-DS");
    editor.Form_Load();
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(p.files.currentDir(), "/home/op/ORVA-DS");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n");
}

TEST_F(StartupTest, SettingsLineThatGivesNoValidSettingsIsReplacedByTheDefault) {
    // A report saved over the settings file, a port out of range, an empty file.
    for (const char* content :
         {"\tORVA-DS:  Datum: 05.12.26\r\n\t06\t0\t0\r\n", "Rechts_Sek_00:00_23:00_0\r\n",
          "Links__Std_18:00_06:00_1\r\n", ""}) {
        test::FakePlatform fresh;
        ORVA_DS state;
        frmEditor ed{state, fresh.platform, window};
        fresh.files.files["/home/op/ORVA-DS/ORVAInit.txt"] = content;
        ed.Form_Load();
        EXPECT_EQ(fresh.files.file("/home/op/ORVA-DS/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n")
            << content;
        EXPECT_EQ(state.PortNumber, "2");
        EXPECT_EQ(state.WindowToHour, "18");
        EXPECT_EQ(fresh.comm.port, 2);
        ASSERT_EQ(fresh.screen.boxes.size(), 1u) << content;
        EXPECT_EQ(fresh.screen.boxes[0].icon, MsgIcon::Exclamation);
        EXPECT_NE(fresh.screen.boxes[0].text.find("Grundeinstellung"), std::string::npos);
    }
}

TEST_F(StartupTest, DataDirectoryThatCannotBeMadeGivesTwoBoxesAndTheProgramRunsOn) {
    p.files.dirs.erase("/home/op/ORVA-DS");
    p.files.canMakeDirs = false;
    editor.Form_Load();
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].text, "Pfad nicht gefunden    Fehlernummer 76 aufgetreten! ");
    EXPECT_EQ(p.screen.boxes[1].text, "Fehler beim Starten!\r\nDas Verzeichnis \\ORVA-DS muß "
                                      "sich auf Laufwerk C: befinden!");
    EXPECT_EQ(p.screen.boxes[1].icon, MsgIcon::None);
    EXPECT_EQ(p.screen.boxes[1].title, "ORVA-DS");
    // The rest of the start-up ran, in the folder the program was started from.
    EXPECT_EQ(p.files.file("/opt/orva/ORVAInit.txt"), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(p.screen.status(), "Status: ");
    EXPECT_EQ(window.calls.size(), 2u);
}

TEST_F(StartupTest, SettingsErrorsAreReportedByTheirOwnTrapOnly) {
    p.files.writeErrors["/home/op/ORVA-DS/ORVAInit.txt"] = err::PermissionDenied;
    editor.Form_Load();
    // One report from the settings reader; no start-up message, since it did not fail.
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Zugriff verweigert    Fehlernummer 70 aufgetreten! ");
    EXPECT_EQ(p.screen.status(), "Status: ");
}

TEST(EditorLayout, StatusBandOnTopAndTextBelowNeverNegative) {
    const EditorLayout l = layoutEditor(640, 400, 24);
    EXPECT_EQ(l.status, (Rect{0, 0, 640, 24}));
    EXPECT_EQ(l.text, (Rect{0, 24, 640, 376}));
    EXPECT_EQ(layoutEditor(100, 10, 24).text, (Rect{0, 24, 100, 0}));
    EXPECT_EQ(centredOnScreen(1920, 1080, 640, 480), (Rect{640, 300, 640, 480}));
}

TEST(MenuTree, ChangesAreAnnouncedAndHandlersRunOnlyForTheirItems) {
    ORVA_DS s;
    test::FakePlatform p;
    FakeWindow w;
    frmEditor editor{s, p.platform, w};
    std::vector<std::string> changed;
    editor.menu().onChange = [&](const MenuItem& item) { changed.push_back(item.id()); };
    editor.menu().setChecked("mnuZählrU", 2, true);
    editor.menu().setChecked("mnuZählrU", 2, true); // no change, no announcement
    editor.menu().setEnabled("mnuZeitr", 1, false);
    editor.menu().setChecked("mnuNothing", 0, true);
    EXPECT_EQ(changed, (std::vector<std::string>{"mnuZählrU(2)", "mnuZeitr(1)"}));
    std::vector<int> clicks;
    editor.menu().setHandler("mnuDateiU", [&](int index) { clicks.push_back(index); });
    editor.menuClick("mnuDateiU", 4);
    editor.menuClick("mnuDateiU", 9); // no such item
    editor.menuClick("mnuUhrlesen", -1);
    EXPECT_EQ(clicks, std::vector<int>{4});
    // What the wiring check sees: an item without a command, a command without an item.
    editor.menu().setHandler("mnuUhrLesen", [](int) {});
    EXPECT_EQ(editor.menu().unwiredItems().front(), "mnuTagesDaten");
    EXPECT_EQ(editor.menu().strayHandlers(), std::vector<std::string>{"mnuUhrLesen"});
}

} // namespace
} // namespace orva
