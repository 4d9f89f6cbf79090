#include "app/qt/MainWindow.h"
#include "Program.h"
#include "platform/TempHome.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"
#include "ui/qt/QtModalWindows.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace orva::test {
namespace {

void pressKey(QWidget* target, int key, const QString& text = {},
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &event);
}

// The program as main() builds it, in a fresh home folder holding `settings`.
class ProgramWindowTest : public testing::Test {
protected:
    void start(const std::string& settings = "Beide__Std_06:00_18:00_2") {
        TempHome::write(home.data() / "ORVAInit.txt", settings + "\r\n");
        program.settings.setWindows(dialogs);
        window.attach(program.editor);
        program.editor.Form_Load();
    }
    std::string settingsLine() const { return TempHome::read(home.data() / "ORVAInit.txt"); }
    QAction* action(const char* id) const { return window.menuAction(id); }
    void openSubmenu(const char* id) const { emit action(id)->menu()->aboutToShow(); }

    TempHome home;
    MainWindow window;
    QtPlatform qt{&window, window.statusBox(), window.textFeld()};
    Program program{qt.platform(), window};
    QtModalWindows dialogs{&window, program.editor.module()};
};

TEST_F(ProgramWindowTest, MarksFollowTheLogicNotTheClicks) {
    start("Beide__Min_06:00_18:00_2");
    openSubmenu("mnuEinsU(3)"); // minutes from the file: marked, but greyed
    EXPECT_TRUE(action("mnuZeitr(1)")->isChecked() && !action("mnuZeitr(1)")->isEnabled());
    EXPECT_FALSE(action("mnuZeitr(2)")->isEnabled());
    program.editor.menu().setHandler("mnuZeitr", [](int) {});
    action("mnuZeitr(0)")->trigger(); // Qt would mark it; the logic did not
    EXPECT_FALSE(action("mnuZeitr(0)")->isChecked());
    EXPECT_TRUE(action("mnuZeitr(1)")->isChecked());
}

TEST_F(ProgramWindowTest, EveryMenuItemSitsInItsMenuAndRunsACommandAndEveryCommandHasAnItem) {
    start();
    // How many entries the menu bar and each menu hold: an item on a wrong level moves.
    QList<qsizetype> sizes{window.menuBar()->actions().size()};
    for (const char* id :
         {"mnuDatei", "mnuBearb", "mnuAusw", "mnuEins", "mnuEinsU(1)", "mnuEinsU(3)"}) {
        sizes << action(id)->menu()->actions().size();
    }
    EXPECT_EQ(sizes, (QList<qsizetype>{5, 8, 6, 2, 5, 3, 3}));
    MenuTree& menu = program.editor.menu();
    EXPECT_EQ(menu.unwiredItems(), std::vector<std::string>{});
    EXPECT_EQ(menu.strayHandlers(), std::vector<std::string>{});
    menu.setHandler("mnuUhrLesen", [](int) {}); // the check itself sees a stray command
    EXPECT_EQ(menu.strayHandlers(), std::vector<std::string>{"mnuUhrLesen"});
}

TEST_F(ProgramWindowTest, EachDirectionIsSavedAtOnceAndMarkedAlone) {
    start("Links__Sek_07:00_19:00_3");
    const std::pair<int, std::string> choices[] = {{2, "Rechts"}, {0, "Beide_"}, {1, "Links_"}};
    for (const auto& [index, value] : choices) {
        action(("mnuZählrU(" + std::to_string(index) + ")").c_str())->trigger();
        EXPECT_EQ(settingsLine(), value + "_Sek_07:00_19:00_3\r\n");
        for (int k = 0; k < 3; ++k) {
            const std::string id = "mnuZählrU(" + std::to_string(k) + ")";
            EXPECT_EQ(action(id.c_str())->isChecked(), k == index) << value << " " << k;
        }
    }
}

// Typed periods: only exact hours in order are taken, saved and applied at once; a refusal
// keeps the dialog open and changes nothing. Enter presses OK.
TEST_F(ProgramWindowTest, PeriodDialogTakesOnlyExactHoursInOrder) {
    start();
    {
        BoxAnswerer nothingElse; // only the period item opens the dialog
        nothingElse.onlyBoxes = true;
        openSubmenu("mnuEinsU(1)");
        openSubmenu("mnuEinsU(3)");
    }
    const char* notAnHour = "nur Werte von 00:00 bis 23:00";
    const char* reversed = "muß kleiner als";
    const struct {
        QString from, to;
        const char* refusal;
    } cases[] = {{"00:00", "23:00", nullptr},    {"18:00", "06:00", reversed},
                 {"06:30", "18:00", notAnHour},  {"06:00", "24:00", notAnHour},
                 {" 06:00", "18:00", notAnHour}, {"06:00", "", notAnHour},
                 {"19:00", "5:00", notAnHour},   {"08:00", "08:00", nullptr}};
    for (const auto& c : cases) {
        const std::string line = settingsLine();
        BoxAnswerer boxes;
        bool open = false;
        whenShown("frmErfasszr", [&](QDialog* d) {
            auto* from = d->findChild<QComboBox*>("von");
            from->setEditText(c.from);
            d->findChild<QComboBox*>("bis")->setEditText(c.to);
            pressKey(from->lineEdit(), Qt::Key_Return, "\r"); // the default button takes Enter
            open = d->isVisible();
            d->reject();
        });
        action("mnuEinsU(2)")->trigger();
        const std::string typed = (c.from + "-" + c.to).toStdString();
        const std::string applied = program.state.WindowFromHour.value_or("") + "-" +
                                    program.state.WindowToHour.value_or("");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(open) << typed;
            EXPECT_TRUE(boxes.texts.empty()) << typed;
            EXPECT_EQ(settingsLine(),
                      "Beide__Std_" + c.from.toStdString() + "_" + c.to.toStdString() + "_2\r\n");
            EXPECT_EQ(applied, c.from.left(2).toStdString() + "-" + c.to.left(2).toStdString());
            continue;
        }
        EXPECT_TRUE(open) << typed;
        ASSERT_EQ(boxes.texts.size(), 1) << typed;
        EXPECT_TRUE(boxes.texts[0].contains(QString::fromUtf8(c.refusal))) << typed;
        EXPECT_EQ(settingsLine(), line) << typed;
        EXPECT_EQ(applied, "00-23") << typed;
    }
}

#ifdef Q_OS_UNIX
// A port that is no serial line: one box per trial, and the dialog stays open with the port
// saved; Cancel tries it again and gives OK the focus; the close box leaves without a trial.
// Then a working port, a pseudo-terminal as a USB adapter's link would be, is taken with Enter.
TEST_F(ProgramWindowTest, SerialDialogKeepsAnUnavailablePortUntilAWorkingOneIsChosen) {
    start();
    TempHome::write(home.data() / "COM4", "not a serial port");
    const struct Pty {
        int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        ~Pty() { ::close(fd); }
    } master;
    ASSERT_TRUE(master.fd >= 0 && ::grantpt(master.fd) == 0 && ::unlockpt(master.fd) == 0);
    std::filesystem::create_symlink(::ptsname(master.fd), home.data() / "COM3");
    BoxAnswerer boxes;
    QStringList checked;
    whenShown("ConfigScrn", [&](QDialog* d) {
        for (const QRadioButton* b : d->findChildren<QRadioButton*>()) {
            if (b->isChecked()) {
                checked << b->objectName();
            }
        }
        // Only the port can be chosen: the fixed line cannot be clicked away.
        for (const QGroupBox* group : d->findChildren<QGroupBox*>()) {
            EXPECT_EQ(group->isEnabled(), group->objectName() == "Frame6")
                << group->objectName().toStdString();
        }
        d->findChild<QRadioButton*>("ComPort4")->click();
        d->findChild<QPushButton*>("OKButton")->click();
        EXPECT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_4\r\n");

        pressKey(d, Qt::Key_Escape);
        EXPECT_EQ(boxes.texts.size(), 2);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), d->findChild<QPushButton*>("OKButton"));
        d->close();
        EXPECT_FALSE(d->isVisible());
    });
    action("mnuSchnittstelle")->trigger();
    checked.sort();
    EXPECT_EQ(checked, (QStringList{"Baud96", "ComPort2", "Data8", "EchoOff", "NoFlow", "NoParity",
                                    "Stop1"}));
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[0].startsWith(QString::fromUtf8("Dieser Schnittstellen-Anschluß")));
    EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);

    whenShown("ConfigScrn", [&](QDialog* d) {
        d->findChild<QRadioButton*>("ComPort3")->click();
        pressKey(d, Qt::Key_Return, "\r");
        EXPECT_FALSE(d->isVisible());
    });
    action("mnuSchnittstelle")->trigger();
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_3\r\n");
    EXPECT_EQ(qt.serial().commPort(), 3);
    EXPECT_FALSE(qt.serial().portOpen());
}
#endif

TEST_F(ProgramWindowTest, InfoTextStaysWhateverIsTypedPastedOrDeleted) {
    start();
    whenShown("frmInfo", [&](QDialog* d) {
        auto* box = d->findChild<QTextEdit*>("InfoBox");
        const QString shown = box->toPlainText();
        EXPECT_TRUE(shown.contains("\nORVA-DS  Version 1.7\n"));
        box->moveCursor(QTextCursor::End);
        pressKey(box, Qt::Key_X, "x");
        box->insertPlainText("eingefügt\nzwei Zeilen");
        pressKey(box, Qt::Key_A, {}, Qt::ControlModifier);
        pressKey(box, Qt::Key_Backspace);
        pressKey(box, Qt::Key_Return, "\r");
        EXPECT_EQ(box->toPlainText(), shown);
        d->findChild<QPushButton*>("cmdAbout")->click();
        EXPECT_FALSE(d->isVisible());
    });
    action("mnuInfo")->trigger();
}

TEST_F(ProgramWindowTest, TextAreaGivesBackCrLfAndTabsInBold) {
    start();
    TextArea& text = qt.platform().text;
    const std::string report = "\tORVA-DS:  Datum: 31.12.94\r\n\t\tPersonen\r\n\r\nZähl\xc2\xa0x";
    text.setText(report);
    EXPECT_EQ(text.text(), report);
    text.setText("a\rb\nc");
    EXPECT_EQ(text.text(), "a\r\nb\r\nc");
    EXPECT_TRUE(window.textFeld()->font().bold()); // thin print is hard to read on site
}

} // namespace
} // namespace orva::test
