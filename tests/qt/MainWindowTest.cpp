#include "app/qt/MainWindow.h"
#include "Program.h"
#include "analysis/qt/ArchiveWindow.h"
#include "archive/ArchiveRows.h"
#include "archive/qt/QtSiteSetting.h"
#include "archive/qt/SqlArchive.h"
#include "platform/LineTrace.h"
#include "platform/TempHome.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"
#include "ui/qt/QtModalWindows.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gmock/gmock.h>
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

// Steps for answerInTurn; a window of another kind fails the test and is closed.
std::function<void(QWidget*)> press(QMessageBox::StandardButton button) {
    return [button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box == nullptr || box->button(button) == nullptr) {
            ADD_FAILURE() << "no box with that button: " << w->metaObject()->className();
            return static_cast<QDialog*>(w)->done(0);
        }
        box->button(button)->click();
    };
}
std::function<void(QWidget*)> choose(const std::filesystem::path& file) {
    return [file](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        EXPECT_NE(d, nullptr) << "a file dialog, not " << w->metaObject()->className();
        if (d == nullptr || file.empty()) {
            return static_cast<QDialog*>(w)->done(0);
        }
        d->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(d)->accept();
    };
}

// The program as main() builds it, in a fresh home folder holding `settings`.
class ProgramWindowTest : public testing::Test {
protected:
    void start(const std::string& settings = "Beide__Std_06:00_18:00_2") {
        TempHome::write(home.data() / "ORVAInit.txt", settings + "\r\n");
        program.settings.setWindows(dialogs);
        window.attach(program.editor, qt.thread());
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
    program.editor.menu().setHandler("mnuZeitr(0)", [] {});
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
    EXPECT_EQ(sizes, (QList<qsizetype>{5, 8, 6, 5, 5, 3, 3}));
    MenuTree& menu = program.editor.menu();
    EXPECT_EQ(menu.unwiredItems(), std::vector<std::string>{});
    EXPECT_EQ(menu.strayHandlers(), std::vector<std::string>{});
    menu.setHandler("mnuUhrLesen", [] {}); // the check itself sees a stray command
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

// Typed periods: only exact hours in order are taken, saved and applied at once; a refusal keeps
// the dialog open, changes nothing. Enter presses OK. A deleted file gets the settings in force.
TEST_F(ProgramWindowTest, PeriodDialogTakesOnlyExactHoursInOrder) {
    start("Rechts_Std_07:00_19:00_3");
    {
        BoxAnswerer nothingElse; // only the period item opens the dialog
        nothingElse.onlyBoxes = true;
        openSubmenu("mnuEinsU(1)");
        openSubmenu("mnuEinsU(3)");
    }
    std::filesystem::remove(home.data() / "ORVAInit.txt");
    whenShown("frmErfasszr", [](QDialog* d) { d->reject(); });
    action("mnuEinsU(2)")->trigger();
    EXPECT_EQ(settingsLine(), "Rechts_Std_07:00_19:00_3\r\n");
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
        const auto applied =
            std::pair(program.state.settings.fromHour, program.state.settings.toHour);
        if (c.refusal == nullptr) {
            EXPECT_FALSE(open) << typed;
            EXPECT_TRUE(boxes.texts.empty()) << typed;
            EXPECT_EQ(settingsLine(),
                      "Rechts_Std_" + c.from.toStdString() + "_" + c.to.toStdString() + "_3\r\n");
            EXPECT_EQ(applied, std::pair(c.from.left(2).toInt(), c.to.left(2).toInt()));
            continue;
        }
        EXPECT_TRUE(open) << typed;
        ASSERT_EQ(boxes.texts.size(), 1) << typed;
        EXPECT_TRUE(boxes.texts[0].contains(QString::fromUtf8(c.refusal))) << typed;
        EXPECT_EQ(settingsLine(), line) << typed;
        EXPECT_EQ(applied, std::pair(0, 23)) << typed;
    }
}

#ifdef Q_OS_UNIX
// A port that is no serial line: one box per trial, and the dialog stays open with the port
// saved; Cancel tries it again and gives OK the focus; the close box leaves without a trial.
// Then a working port, a pseudo-terminal as a USB adapter's link would be, is taken with Enter.
// The trace marks both commands and what they ended with.
TEST_F(ProgramWindowTest, SerialDialogKeepsAnUnavailablePortUntilAWorkingOneIsChosen) {
    start();
    const auto trace = LineTrace::open((home.path() / "trace").string());
    qt.setTrace(trace.get());
    window.setTrace(trace.get());
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
    EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);

    whenShown("ConfigScrn", [&](QDialog* d) {
        d->findChild<QRadioButton*>("ComPort3")->click();
        pressKey(d, Qt::Key_Return, "\r");
        EXPECT_FALSE(d->isVisible());
    });
    action("mnuSchnittstelle")->trigger();
    EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_3\r\n");
    EXPECT_EQ(qt.serial().commPort(), 3);
    EXPECT_FALSE(qt.serial().portOpen());
    const std::string n = " +[0-9]+\\.[0-9]{6} ", command = n + ">>>  Schnittstellen-Parameter\n";
    EXPECT_THAT(TempHome::read(home.path() / "trace"),
                testing::MatchesRegex("# [^\n]*\n" + command + n +
                                      "<<<  Meldung: (Dieser [^|]*Anschluß!( \\| )?){2}\n" +
                                      command + n + "<<<  fertig\n"));
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
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const char* id : {"mnuDatei", "mnuBearb", "mnuAusw", "mnuEins"}) { // Alt with the key
        QTest::keyClick(&window, QKeySequence::mnemonic(action(id)->text())[0].key(),
                        Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), action(id)->menu()) << id;
        action(id)->menu()->close();
    }
    QTest::keyClick(&window, Qt::Key_Alt); // Alt alone, then the key
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_I);
}

// Typed text is offered for saving before it is lost: Abbrechen, or a save that does not
// happen, keeps it and the window; Nein lets it go.
TEST_F(ProgramWindowTest, TypedTextIsOfferedForSavingBeforeOpenOrClose) {
    start();
    pressKey(window.textFeld(), Qt::Key_N, "Notiz");
    answerInTurn({press(QMessageBox::Cancel)});
    action("mnuDateiU(0)")->trigger(); // Öffnen: no file dialog follows
    answerInTurn({press(QMessageBox::Cancel)});
    EXPECT_FALSE(window.close());
    answerInTurn({press(QMessageBox::Yes), choose({})});
    EXPECT_FALSE(window.close());
    EXPECT_EQ(window.textFeld()->toPlainText(), "Notiz");
    answerInTurn({press(QMessageBox::No)});
    EXPECT_TRUE(window.close());
}

// Refused with a box: a binary file by Öffnen, so "Speichern" cannot rewrite it; the settings
// file by Save As, before any question (Ja/Nein) to replace a file. UTF-8 is saved as UTF-8.
TEST_F(ProgramWindowTest, FilesAreReplacedOnlyWhenTheyMayBe) {
    start();
    const auto image = home.data() / "bild.txt";
    const std::string binary("GIF89a\0\x01\xff\r\n", 11);
    TempHome::write(image, binary);
    answerInTurn({choose(image), press(QMessageBox::Ok), choose({})});
    action("mnuDateiU(0)")->trigger();
    action("mnuDateiU(1)")->trigger(); // Speichern: no file named, so asked, and cancelled
    answerInTurn({choose(home.data() / "ORVAInit.txt"), press(QMessageBox::Ok), choose(image),
                  press(QMessageBox::No), choose({})});
    action("mnuDateiU(2)")->trigger();
    EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_2\r\n");
    EXPECT_EQ(TempHome::read(image), binary);
    TempHome::write(home.data() / "notiz.txt", "Zähler\r\n");
    answerInTurn({choose(home.data() / "notiz.txt")});
    action("mnuDateiU(0)")->trigger();
    pressKey(window.textFeld(), Qt::Key_A, QString::fromUtf8("ä"));
    action("mnuDateiU(1)")->trigger();
    EXPECT_EQ(TempHome::read(home.data() / "notiz.txt"), "äZähler\r\n\r\n");
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

// A command's status texts do not wait for the window, but none is shown late: a box finds the
// last one set before it, the end of the command the last of all.
TEST_F(ProgramWindowTest, StatusTextsOfACommandShowInTheirOrder) {
    start();
    Screen& screen = qt.platform().screen;
    std::string atBox;
    whenModalShows([&](QWidget* w) {
        atBox = window.statusBox()->text().toStdString();
        static_cast<QDialog*>(w)->accept();
    });
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&] {
        ADD_FAILURE() << "waited 10 s for the command's end";
        loop.quit();
    });
    qt.thread().runCommand(
        [&] {
            screen.setStatus("Status: 1");
            qt.thread().call([] {}); // shown; the next one waits for a while
            screen.setStatus("Status: 2");
            screen.messageBox("?", MsgButtons::OK, MsgIcon::None, "");
            screen.setStatus("Status: 3");
        },
        [&] { loop.quit(); });
    loop.exec();
    EXPECT_EQ(atBox, "Status: 2");
    EXPECT_EQ(window.statusBox()->text().toStdString(), "Status: 3");
}

// Axis labels the chart shows along the bottom, where a label is text with a full stop.
std::vector<QRectF> shownLabels(QChart* chart) {
    for (int round = 0; round < 50; ++round) { // the labels are fitted once the chart is laid out
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // replaced axes
    }
    std::vector<QRectF> shown;
    for (QGraphicsItem* item : chart->scene()->items()) {
        const auto* label = qgraphicsitem_cast<QGraphicsTextItem*>(item);
        if (label != nullptr && label->isVisible() && label->toPlainText().contains('.') &&
            label->sceneBoundingRect().top() > chart->plotArea().bottom()) {
            shown.push_back(label->sceneBoundingRect());
        }
    }
    return shown;
}

// Days of three downloads and of the year before in a day view and a month view: the table
// holds the archive's sums with the missing days empty, the hours of the range are exported,
// and the labels of a year of days and of a month of hours stand apart, none hidden.
TEST_F(ProgramWindowTest, ArchiveWindowShowsAndExportsTheArchive) {
    start();
    SqlArchive archive((home.data() / "ORVA-Archiv.sqlite").string());
    QtSiteSetting site;
    QtArchiveView view(&window, qt.thread(), program.auswertung);
    program.auswertung.setArchive(archive, site);
    program.auswertung.setView(view);
    const QDate today = QDate::currentDate();
    const auto day = [&](int back) {
        const QDate d = today.addDays(-back);
        return Date{d.year(), d.month(), d.day()};
    };
    const auto hours = [](const Date& d, long right, int last = 23) {
        std::vector<ArchivedHour> out;
        for (int h = 0; h <= last; ++h) {
            out.push_back({d, h, right + h, 1});
        }
        return out;
    };
    const DateTime now{day(0), 23, 59, 0};
    for (const auto& download : {hours(day(6), 1), hours(day(5), 2), hours(day(2), 3, 11),
                                 hours(day(2), 3), hours(yearEarlier(day(5)), 9)}) {
        ASSERT_TRUE(
            std::holds_alternative<MergeSummary>(archive.merge(kDefaultSite, download, now)));
    }
    action("mnuTabellarisch(0)")->trigger();
    ArchiveWindow* shown = view.window();
    ASSERT_TRUE(shown != nullptr && shown->isVisible());
    QTableWidget* table = shown->table();
    ASSERT_EQ(table->rowCount(), 8);                                   // seven days and "Summe"
    enum { Total = 1, Earlier = 3, MonthTotal = 4, MonthEarlier = 6 }; // the columns
    const auto dayTotal = [](long right) { return 24 * right + 276 + 24; };
    EXPECT_EQ(table->item(0, Total)->text().toLong(), dayTotal(1));
    EXPECT_EQ(table->item(1, Earlier)->text().toLong(), dayTotal(9));
    EXPECT_EQ(table->item(3, Total)->text(), ""); // a gap, not a zero
    EXPECT_EQ(table->item(4, Total)->text().toLong(), dayTotal(3));
    const long all = dayTotal(1) + dayTotal(2) + dayTotal(3);
    EXPECT_EQ(table->item(7, Total)->text().toLong(), all);
    EXPECT_TRUE(shown->note()->text().startsWith(
        QString::fromUtf8("Keine Zähldaten im Archiv für 4 Tage")));

    shown->groupings()->setCurrentIndex(3);
    emit shown->groupings()->activated(3);
    const int months = today.addDays(-6).month() == today.month() ? 1 : 2;
    ASSERT_EQ(table->rowCount(), months + 1);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Monat");
    EXPECT_EQ(table->item(months, MonthTotal)->text().toLong(), all);
    EXPECT_EQ(table->item(months, MonthEarlier)->text().toLong(), dayTotal(9));

    // The hours of the range, the save dialog's second choice; the view itself is exported
    // and printed in the end-to-end run.
    const std::filesystem::path csv = home.data() / "stunden.csv";
    answerInTurn({[&](QWidget* w) {
                     static_cast<QFileDialog*>(w)->selectNameFilter(
                         QString::fromUtf8("Stundenwerte des Zeitraums (*.csv)"));
                     choose(csv)(w);
                 }},
                 "the export's file dialog");
    action("mnuDatExport(1)")->trigger();
    EXPECT_EQ(TempHome::read(csv), hourlyCsv(std::get<0>(archive.hours({"", day(6), day(0)}))));

    shown->resize(900, 700);
    for (const int back : {365, 30}) { // a year by day, a month by hour
        shown->groupings()->setCurrentIndex(back == 30 ? 0 : 1);
        shown->from()->setDate(today.addDays(-back));
        emit shown->from()->editingFinished();
        ASSERT_EQ(program.auswertung.request().grouping,
                  back == 30 ? ViewGrouping::Hour : ViewGrouping::Day);
        const std::vector<QRectF> labels = shownLabels(shown->chart());
        auto* axis = static_cast<QCategoryAxis*>(shown->chart()->axes(Qt::Horizontal)[0]);
        EXPECT_GE(labels.size(), 5u) << back;
        EXPECT_EQ(labels.size(), static_cast<std::size_t>(axis->count()))
            << back << ": labels hidden";
        for (std::size_t i = 0; i < labels.size(); ++i) {
            for (std::size_t j = i + 1; j < labels.size(); ++j) {
                EXPECT_FALSE(labels[i].intersects(labels[j])) << back << ": labels overlap";
            }
        }
    }
}

} // namespace
} // namespace orva::test
