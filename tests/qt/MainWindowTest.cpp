#include "app/qt/MainWindow.h"
#include "app/frmEditor.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace orva {
namespace {

// The whole program as main() builds it, with HOME pointing at a fresh folder.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        home = fs::temp_directory_path() /
               ("orva-home-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home);
        fs::create_directories(home / "ORVA-DS");
        oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.string()));
        oldCwd = fs::current_path();
        qt = std::make_unique<QtPlatform>(&window, window.statusBox(), window.textFeld());
        editor = std::make_unique<frmEditor>(state, qt->platform(), window);
        window.attach(*editor);
        editor->Form_Load();
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        qputenv("HOME", oldHome);
        fs::remove_all(home);
    }

    fs::path home;
    fs::path oldCwd;
    QByteArray oldHome;
    ORVA_DS state;
    MainWindow window;
    std::unique_ptr<QtPlatform> qt;
    std::unique_ptr<frmEditor> editor;
};

TEST_F(ProgramTest, StartCreatesTheSettingsFileAndShowsTheStatusLine) {
    std::ifstream in(home / "ORVA-DS" / "ORVAInit.txt", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(window.statusBox()->text(), "Status: ");
    EXPECT_EQ(fs::current_path(), fs::canonical(home / "ORVA-DS"));
    EXPECT_EQ(window.windowTitle(),
              QString::fromUtf8("Richtungsabhängige Zähl-Lichtschranke ORVA-DS 1.7"));
}

struct Entry {
    int level;
    std::string id;
    std::string caption; // "-" for a separator
    std::string shortcut;
    bool enabled;
    bool checked;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << e.level << " " << e.id << " '" << e.caption << "' " << e.shortcut << " "
              << e.enabled << e.checked;
}

void collect(const QList<QAction*>& actions, int level, std::vector<Entry>& out) {
    for (QAction* a : actions) {
        out.push_back({level, a->objectName().toStdString(),
                       a->isSeparator() ? "-" : a->text().toStdString(),
                       a->shortcut().toString(QKeySequence::PortableText).toStdString(),
                       a->isEnabled(), a->isChecked()});
        if (a->menu() != nullptr) {
            collect(a->menu()->actions(), level + 1, out);
        }
    }
}

TEST_F(ProgramTest, MenuBarHoldsTheWholeTreeWithItsStates) {
    const std::vector<Entry> expected = {
        {1, "mnuDatei", "&Datei", "", true, false},
        {2, "mnuDateiU(0)", "Ö&ffnen", "", true, false},
        {2, "mnuDateiU(1)", "&Speichern", "Ctrl+S", true, false},
        {2, "mnuDateiU(2)", "Speichern &unter", "", true, false},
        {2, "mnuDateiU(3)", "-", "", true, false},
        {2, "mnuDateiU(4)", "&Drucken", "Ctrl+D", true, false},
        {2, "mnuDateiU(5)", "-", "", true, false},
        {2, "mnuDateiU(6)", "&Beenden", "", true, false},
        {2, "mnuFileArray", "-", "", true, false},
        {1, "mnuBearb", "&Bearbeiten", "", true, false},
        {2, "mnuTagesDaten", "&Tages-Daten", "", true, false},
        {2, "mnuAbDatum", "ab Datu&m", "", true, false},
        {2, "mnuAlleDaten", "&alle Daten", "", true, false},
        {2, "mnuBearbU", "-", "", true, false},
        {2, "mnuUhrlesen", "Uhr &lesen", "", true, false},
        {2, "mnuUhrstellen", "&Uhr stellen", "", true, false},
        {1, "mnuAusw", "Aus&wertung", "", true, false},
        {2, "mnuTabellarisch(0)", "&Tabellarisch", "", false, false},
        {2, "mnuDatExport(1)", "Daten E&xportieren", "", false, false},
        {1, "mnuEins", "&Einstellungen", "", true, false},
        {2, "mnuEinsU(1)", "Zähl-&Richtung", "", true, false},
        {3, "mnuZählrU(0)", "beide Richtungen", "", true, false},
        {3, "mnuZählrU(1)", "von links nach rechts", "", true, false},
        {3, "mnuZählrU(2)", "von rechts nach links", "", true, false},
        {2, "mnuEinsU(2)", "Auswertezeitrau&m", "", true, false},
        {2, "mnuEinsU(3)", "&Zeit-Raster", "", true, false},
        {3, "mnuZeitr(0)", "Stunden", "", true, true},
        {3, "mnuZeitr(1)", "Minuten", "", true, false},
        {3, "mnuZeitr(2)", "Sekunden", "", true, false},
        {2, "mnuEinsU(4)", "-", "", true, false},
        {2, "mnuSchnittstelle", "Schnittstellen-Parameter", "", true, false},
        {1, "mnuInfo", "&Info", "", true, false},
    };
    std::vector<Entry> actual;
    collect(window.menuBar()->actions(), 1, actual);
    EXPECT_EQ(actual, expected);
}

TEST_F(ProgramTest, CheckMarksFollowTheLogicNotTheClicks) {
    QAction* hours = window.menuAction("mnuZeitr(0)");
    QAction* minutes = window.menuAction("mnuZeitr(1)");
    ASSERT_NE(hours, nullptr);
    hours->trigger(); // an item without a command yet: its mark stays as the logic has it
    EXPECT_TRUE(hours->isChecked());
    editor->menu().setChecked("mnuZeitr", 0, false);
    editor->menu().setChecked("mnuZeitr", 1, true);
    editor->menu().setEnabled("mnuZeitr", 1, false);
    EXPECT_FALSE(hours->isChecked());
    EXPECT_TRUE(minutes->isChecked());
    EXPECT_FALSE(minutes->isEnabled());
}

TEST_F(ProgramTest, ClicksAndSubmenuOpeningsReachTheLogic) {
    std::vector<std::string> calls;
    for (const char* name : {"mnuEins", "mnuEinsU", "mnuDateiU"}) {
        editor->menu().setHandler(name, [&calls, name](int index) {
            calls.push_back(std::string(name) + ":" + std::to_string(index));
        });
    }
    QMenu* settings = window.menuAction("mnuEins")->menu();
    ASSERT_NE(settings, nullptr);
    emit settings->aboutToShow();
    emit window.menuAction("mnuEinsU(3)")->menu()->aboutToShow();
    window.menuAction("mnuEinsU(2)")->trigger();
    window.menuAction("mnuDateiU(4)")->trigger();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"mnuEins:-1", "mnuEinsU:3", "mnuEinsU:2", "mnuDateiU:4"}));
}

TEST_F(ProgramTest, ErrorsEscapingACommandAreReportedNotThrown) {
    window.show();
    editor->menu().setHandler("mnuUhrlesen",
                              [](int) { throw RunTimeError(err::DeviceUnavailable); });
    // Answer the box that the report shows.
    bool answered = false;
    test::whenModalShows([&answered](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString(),
                  "Dieser Schnittstellen-Anschluß ist nicht verfügbar!\n\nWählen Sie "
                  "einen anderen Anschluß!");
        EXPECT_EQ(box->windowTitle(), "ORVA-DS");
        answered = true;
        box->accept();
    });
    window.menuAction("mnuUhrlesen")->trigger();
    EXPECT_TRUE(answered);
}

TEST_F(ProgramTest, StatusBandOnTopTextAreaBelowNeverNegativeHeight) {
    window.show();
    for (const QSize size : {QSize(800, 600), QSize(300, 200), QSize(200, 30)}) {
        window.resize(size);
        QApplication::processEvents();
        const QWidget* area = window.centralWidget();
        EXPECT_EQ(window.statusBox()->geometry(), QRect(0, 0, area->width(), 24));
        EXPECT_EQ(window.textFeld()->geometry(),
                  QRect(0, 24, area->width(), std::max(0, area->height() - 24)));
    }
    const QFont f = window.textFeld()->font();
    EXPECT_EQ(f.family(), "Arial");
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 8.25);
    EXPECT_TRUE(f.bold());
}

TEST_F(ProgramTest, WindowIsCentredOnTheScreen) {
    window.centreOnScreen();
    const QRect screen = window.screen()->geometry();
    const QRect frame = window.frameGeometry();
    EXPECT_NEAR(frame.center().x(), screen.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), screen.center().y(), 1);
}

TEST_F(ProgramTest, TextAreaGivesBackCrLfAndTabs) {
    TextArea& text = qt->platform().text;
    const std::string report = "\tORVA-DS:  Datum: 31.12.94\r\n\t\tPersonen\r\n\r\nZähl\xc2\xa0x";
    text.setText(report);
    EXPECT_EQ(text.text(), report);
    text.setText("a\rb\nc");
    EXPECT_EQ(text.text(), "a\r\nb\r\nc");
}

TEST(QtTranslations, StandardButtonsSpeakGerman) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes |
                           QMessageBox::No);
    auto plain = [&](QMessageBox::StandardButton b) { return box.button(b)->text().remove('&'); };
    EXPECT_EQ(plain(QMessageBox::Ok), "OK");
    EXPECT_EQ(plain(QMessageBox::Cancel), "Abbrechen");
    EXPECT_EQ(plain(QMessageBox::Yes), "Ja");
    EXPECT_EQ(plain(QMessageBox::No), "Nein");
}

} // namespace
} // namespace orva
