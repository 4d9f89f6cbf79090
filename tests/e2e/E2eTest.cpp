#include "Program.h"
#include "analysis/qt/ArchiveWindow.h"
#include "app/qt/MainWindow.h"
#include "archive/qt/CrossArchive.h"
#include "archive/qt/QtSiteSetting.h"
#include "archive/qt/SqlArchive.h"
#include "fakes/FakePlatform.h"
#include "platform/LineTrace.h"
#include "platform/TempHome.h"
#include "platform/Text.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"
#include "sim/LightBarrier.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace orva {
namespace {

using test::TempHome;
using test::whenModalShows;

// The bytes of the log lines that name `direction` ("PC>" or "<DEV"), joined: the hex pairs
// after it, up to the printable column of the program's trace.
std::string bytesFrom(const std::string& log, const std::string& direction) {
    std::string bytes;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find(direction);
        if (line.starts_with("#") || at == std::string::npos) {
            continue;
        }
        const auto from = at + direction.size();
        const auto bar = line.find('|', from);
        std::istringstream hex(line.substr(from, bar == std::string::npos ? bar : bar - from));
        for (std::string pair; hex >> pair;) {
            bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
        }
    }
    return bytes;
}

// Counts the paint events of a widget.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        count += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

// The real program (Qt serial control, real pseudo-terminal) against orva-sim.
class EndToEnd : public testing::Test {
protected:
    static constexpr const char* kClock = "05.12.2026 12:45:30";

    void startSimulator(const QStringList& extra = {}, bool paced = false,
                        const char* clock = kClock) {
        QStringList args{"--link",  QString::fromStdString((home.data() / "COM2").string()),
                         "--clock", clock,
                         "--days",  "30"};
        sim.start(ORVA_SIM_PATH,
                  args + extra + (paced ? QStringList{} : QStringList{"--no-pacing"}));
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(sim.waitForReadyRead(5000));
        ASSERT_TRUE(sim.readLine().startsWith("ready"));
    }

    EndToEnd() {
        window.attach(program.editor, qt.thread());
        program.editor.Form_Load();
        window.show();
    }

    // Runs the menu item and the window's events until its command has ended.
    void run(const char* item, int seconds = 30) {
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::commandEnded, &loop, &QEventLoop::quit);
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        window.menuAction(item)->trigger();
        if (window.busy()) {
            loop.exec();
        }
        ASSERT_FALSE(window.busy()) << item << " still running after " << seconds << " s";
    }

    // Runs the menu item, answering the one message box it shows; gives the box's text.
    QString boxTextOf(const char* item) {
        QString text;
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr) << item;
            text = box->text();
            box->accept();
        });
        run(item);
        return text;
    }

    void TearDown() override {
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            sim.waitForFinished(5000);
        }
    }

    TempHome home;
    QProcess sim;
    MainWindow window;
    QtPlatform qt{&window, window.statusBox(), window.textFeld()};
    Program program{qt.platform(), window};
};

TEST_F(EndToEnd, ClockSetByHandIsReadBack) {
    startSimulator();
    auto type = [](const char* text) {
        return [text](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(input, nullptr) << "input for " << text;
            input->setTextValue(text);
            input->accept();
        };
    };
    test::answerInTurn({[](QWidget* w) { // not the PC's clock: typed by hand
                            auto* box = qobject_cast<QMessageBox*>(w);
                            ASSERT_NE(box, nullptr);
                            box->button(QMessageBox::No)->click();
                        },
                        type("02.11.1994"), type("14:35")});
    run("mnuUhrstellen");
    const QString read = boxTextOf("mnuUhrlesen");
    EXPECT_TRUE(read.startsWith("\nORVA-DS \tUhr: 14:35:0")) << read.toStdString();
    EXPECT_TRUE(read.contains("Datum: 02.11.94\n")) << read.toStdString();
    EXPECT_TRUE(window.isVisible()) << "the window closed after two commands";
}

TEST_F(EndToEnd, FileMenuSavesOpensAsksBeforeOverwritingAnOpenedFileAndQuits) {
    qt.platform().text.setText("\tZähldaten\r\n\t13\t37");
    const fs::path file = home.data() / "bericht.txt";
    QString shown; // the filter, later the name proposed
    whenModalShows([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        shown = d->selectedNameFilter();
        d->findChild<QLineEdit*>()->setText("bericht"); // the dialog adds .txt
        static_cast<QDialog*>(d)->accept();
    });
    window.menuAction("mnuDateiU(2)")->trigger(); // Speichern unter
    EXPECT_EQ(shown, "Textdateien (*.txt)");
    EXPECT_EQ(TempHome::read(file), "\tZ\xe4hldaten\r\n\t13\t37\r\n");
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    window.menuAction("mnuDateiU(0)")->trigger(); // Öffnen proposes the current file
    EXPECT_EQ(qt.platform().text.text(), "\tZähldaten\r\n\t13\t37\r\n");
    EXPECT_EQ(window.statusBox()->text().toStdString(),
              "Datei-Pfad: " + fs::canonical(file).string());
    bool asked = false; // "Speichern unter" asks for the name, also for the file just opened
    whenModalShows([&](QWidget* w) { asked = static_cast<QDialog*>(w)->close(); });
    window.menuAction("mnuDateiU(2)")->trigger();
    ASSERT_TRUE(asked);
    // A download cancelled at its date box: Speichern (Ctrl+S) asks before it writes.
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    run("mnuAbDatum");
    whenModalShows([&](QWidget* w) {
        shown = w->findChild<QLineEdit*>()->text();
        static_cast<QDialog*>(w)->reject();
    });
    window.menuAction("mnuDateiU(1)")->trigger();
    EXPECT_EQ(shown, "bericht.txt");
    EXPECT_EQ(TempHome::read(file), "\tZ\xe4hldaten\r\n\t13\t37\r\n");

    QTimer::singleShot(0, [&] { window.menuAction("mnuDateiU(6)")->trigger(); });
    QTimer deadline; // dies with the test, so it cannot end a later test's loop
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(5000);
    EXPECT_EQ(QApplication::exec(), 0) << "Beenden did not end the event loop within 5 s";
}

// "&alle Daten" from the simulator: the report of its memory saved, every byte on the line in
// the trace.
TEST_F(EndToEnd, AllDataIsReportedAndTraced) {
    startSimulator({"--verbose"});
    const fs::path tracePath = home.path() / "trace.txt";
    auto trace = LineTrace::open(tracePath.string());
    ASSERT_TRUE(trace);
    qt.serial().setTrace(trace.get());
    const fs::path report = home.data() / "AD0512.txt";
    whenModalShows([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        d->selectFile(QString::fromStdString(report.string()));
        static_cast<QDialog*>(d)->accept();
    });
    run("mnuAlleDaten");
    const std::string countText = program.state.CountText;

    // The same memory, dumped by the tool and evaluated alone, gives the same report.
    QProcess dump;
    dump.start(ORVA_SIM_PATH, {"--clock", kClock, "--days", "30", "--dump-count-text"});
    ASSERT_TRUE(dump.waitForFinished(10000)) << "orva-sim --dump-count-text did not end";
    EXPECT_EQ(countText, dump.readAllStandardOutput().trimmed().toStdString());
    EXPECT_EQ(TempHome::read(report),
              utf8ToCp1252(MakeReport(countText, Settings{}, "\r\n", {}).ReportText + "\r\n"));

    // The trace holds what the simulator logged, in both directions.
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    const std::string log = TempHome::read(tracePath);
    const std::string simLog = sim.readAllStandardError().toStdString();
    const std::string received = bytesFrom(log, "<DEV");
    EXPECT_EQ(received, bytesFrom(simLog, "<DEV"));
    EXPECT_EQ(bytesFrom(log, "PC>"), bytesFrom(simLog, "PC>"));
    // Both copies of every accepted block of all data, in order.
    ASSERT_GE(countText.size(), 20u * 32);
    std::size_t at = 0;
    for (std::size_t i = 0; i < countText.size(); i += 32) {
        const std::string block = DeviceLink::sync(ctl::STX) + countText.substr(i, 32);
        for (int copy = 0; copy < 2; ++copy, at += block.size()) {
            at = received.find(block, at);
            ASSERT_NE(at, std::string::npos) << "block " << i / 32 << " copy " << copy;
        }
    }
}

// The whole way: two downloads from the simulator in one run and one after the archive is
// opened anew, as after a restart. The window shows the days of all three by day and by month,
// the export is the view, and the print holds the table.
TEST_F(EndToEnd, DownloadsOfTwoRunsShowInTheArchiveWindow) {
    const std::string file = (home.data() / "ORVA-Archiv.sqlite").string();
    QtSiteSetting site;
    CrossSiteSetting sharedSite(site, qt.thread());
    const auto download = [&](const char* item) {
        whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); }); // no report
        run(item);
    };
    {
        SqlArchive first(file);
        CrossArchive shared(first, qt.thread());
        program.downloads.setArchive(shared, sharedSite);
        startSimulator();
        download("mnuTagesDaten");
        download("mnuAlleDaten");
        sim.terminate();
        ASSERT_TRUE(sim.waitForFinished(5000));
    }
    SqlArchive archive(file);
    CrossArchive shared(archive, qt.thread());
    program.downloads.setArchive(shared, sharedSite);
    startSimulator({}, false, "06.12.2026 12:45:30");
    download("mnuTagesDaten");

    // Per day "Rechts" + "Links", straight from the simulator's model.
    std::map<QString, long> expected;
    auto memory = sim::generateDays({2026, 12, 5}, 30, 1, 12);
    memory.push_back(sim::generateDays({2026, 12, 6}, 1, 1, 12)[0]);
    long all = 0;
    for (const sim::StoredDay& d : memory) {
        for (const sim::HourRecord& r : d.records) {
            expected[QDate(d.date.year, d.date.month, d.date.day).toString("dd.MM.yyyy")] +=
                r.rechts + r.links;
            all += r.rechts + r.links;
        }
    }
    QtArchiveView windows(&window, qt.thread(), program.auswertung);
    program.auswertung.setArchive(archive, site);
    program.auswertung.setView(windows);
    window.menuAction("mnuTabellarisch(0)")->trigger();
    ArchiveWindow* shown = windows.window();
    ASSERT_TRUE(shown != nullptr && shown->isVisible());
    shown->from()->setDate({2026, 11, 6});
    shown->to()->setDate({2026, 12, 6});
    emit shown->to()->editingFinished();
    QTableWidget* table = shown->table();
    ASSERT_EQ(table->rowCount(), 32);
    for (int row = 0; row < 31; ++row) {
        EXPECT_EQ(table->item(row, 1)->text().toLong(), expected[table->item(row, 0)->text()])
            << table->item(row, 0)->text().toStdString();
    }
    shown->groupings()->setCurrentIndex(3);
    emit shown->groupings()->activated(3);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(2, 4)->text().toLong(), all);

    const fs::path csv = home.data() / "monate.csv";
    whenModalShows([&](QWidget* w) {
        static_cast<QFileDialog*>(w)->selectFile(QString::fromStdString(csv.string()));
        static_cast<QDialog*>(w)->accept();
    });
    window.menuAction("mnuDatExport(1)")->trigger();
    EXPECT_EQ(TempHome::read(csv), viewCsv(*program.auswertung.shown()));
    EXPECT_NE(TempHome::read(csv).find("\r\n11.2026;06.11.2026;30.11.2026;25;"), std::string::npos);

    const fs::path pdf = home.path() / "monate.pdf";
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    shown->print(printer);
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(pdf.string()), "-"});
    ASSERT_TRUE(text.waitForFinished(10000)) << "pdftotext did not end";
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("11.2026") && printed.contains(QString::number(all)))
        << printed.toStdString();
}

// The device pulled mid-download, then gone, then back: one report each time, and the
// program works again without a restart.
TEST_F(EndToEnd, DeviceUnpluggedMidDownloadAndBackAgain) {
    startSimulator({}, true); // at 9600 baud the 30 days take about 20 seconds
    // The device is pulled from outside, as a user would.
    QProcess::startDetached("sh",
                            {"-c", "sleep 1; kill -TERM " + QString::number(sim.processId())});
    {
        test::BoxAnswerer boxes;
        boxes.onlyBoxes = true; // a save dialog after a failed download would be a fault
        run("mnuAlleDaten");
        ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join("|").toStdString();
        EXPECT_TRUE(boxes.texts[0].startsWith(QString::fromUtf8("Übertragungsfehler!")));
    }
    EXPECT_EQ(window.statusBox()->text(), "Status: ");
    EXPECT_FALSE(program.state.CountText.empty()); // what came before stays in memory
    sim.waitForFinished(5000);                     // already ended, or ends now
    EXPECT_TRUE(boxTextOf("mnuUhrlesen").startsWith(QString::fromUtf8("Dieser Schnittstellen")));
    startSimulator();
    EXPECT_TRUE(boxTextOf("mnuUhrlesen").startsWith("\nORVA-DS \tUhr: 12:45:"));
}

// During a paced download the window paints and shows progress, but takes no input: keys do
// not reach the report and greyed items run nothing, then or later. A close request waits for
// the end of the command.
TEST_F(EndToEnd, APacedDownloadKeepsTheWindowAliveAndTakesNoInput) {
    startSimulator({"--days", "4"}, true);
    auto* progress = window.findChild<QLabel*>("Progress");
    ASSERT_NE(progress, nullptr);
    PaintCounter paints;
    window.textFeld()->viewport()->installEventFilter(&paints);
    const CountDirection direction = program.state.settings.direction;
    QStringList notes;
    int paintsDuringTransfer = 0;
    bool closedDuringTransfer = true;
    bool tookInput = false; // a typed key in the text area, a menu item usable
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!progress->isVisible()) {
            return;
        }
        paintsDuringTransfer = paints.count;
        window.textFeld()->viewport()->update();
        if (notes.isEmpty() || notes.last() != progress->text()) {
            notes << progress->text();
        }
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(window.textFeld(), &key);
        window.menuAction("mnuZählrU(1)")->trigger();
        window.menuAction("mnuDateiU(6)")->trigger(); // Beenden
        window.close();
        closedDuringTransfer = closedDuringTransfer && !window.isVisible();
        tookInput = tookInput || window.textFeld()->toPlainText().contains('x') ||
                    window.menuAction("mnuDateiU(6)")->isEnabled();
    });
    tick.start(50);
    const fs::path report = home.data() / "AD0512.txt";
    whenModalShows([&](QWidget* w) {
        static_cast<QFileDialog*>(w)->selectFile(QString::fromStdString(report.string()));
        static_cast<QDialog*>(w)->accept();
    });
    run("mnuAlleDaten", 60);
    tick.stop();
    ASSERT_GE(notes.size(), 3) << "progress notes seen while the window ran events: "
                               << notes.join(" | ").toStdString();
    EXPECT_TRUE(notes[0].contains(" kB, 0:0")) << notes[0].toStdString();
    EXPECT_GE(paintsDuringTransfer, 3);
    EXPECT_FALSE(closedDuringTransfer);
    EXPECT_FALSE(tookInput);
    EXPECT_FALSE(window.isVisible()) << "the close request was not served after the command";
    EXPECT_EQ(program.state.settings.direction, direction);
    EXPECT_EQ(TempHome::read(report).find('x'), std::string::npos);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(window.textFeld()->isReadOnly());
}

// Esc ("Abbrechen") ends a paced transfer within a second, without a box or a report; the device
// answers the next command.
TEST_F(EndToEnd, AStoppedDownloadEndsAtOnceAndTheDeviceAnswersTheNextCommand) {
    startSimulator({}, true);
    auto* stop = window.findChild<QPushButton*>("StopTransfer");
    ASSERT_NE(stop, nullptr);
    QElapsedTimer sinceStop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (stop->isVisible() && !sinceStop.isValid()) {
            sinceStop.start();
            QTest::keyClick(&window, Qt::Key_Escape); // as "Abbrechen" beside the progress
        }
    });
    tick.start(20);
    {
        test::BoxAnswerer boxes;
        boxes.onlyBoxes = true;
        run("mnuAlleDaten", 60);
        tick.stop();
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("|").toStdString();
    }
    ASSERT_TRUE(sinceStop.isValid()) << "no transfer to stop";
    EXPECT_LT(sinceStop.elapsed(), 1000);
    EXPECT_EQ(window.statusBox()->text(),
              QString::fromUtf8("Status: Die Übertragung wurde abgebrochen."));
    EXPECT_TRUE(qt.platform().text.text().empty());
    EXPECT_FALSE(qt.serial().portOpen());
    const QString clock = boxTextOf("mnuUhrlesen");
    EXPECT_TRUE(clock.startsWith("\nORVA-DS \tUhr: 12:45:")) << clock.toStdString();
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); }); // Save As
    run("mnuTagesDaten"); // the next download is not stopped too
    EXPECT_TRUE(window.statusBox()->text().startsWith("Status: Tages-Daten vom: "));
}

} // namespace
} // namespace orva
