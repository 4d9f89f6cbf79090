#include "Program.h"
#include "app/qt/MainWindow.h"
#include "fakes/FakePlatform.h"
#include "platform/LineTrace.h"
#include "platform/Text.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace orva {
namespace {

using test::answerInTurn;
using test::whenModalShows;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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

    void SetUp() override {
        home = fs::temp_directory_path() /
               ("orva-e2e-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home / "ORVA-DS");
        oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.string()));
        oldCwd = fs::current_path();
    }

    void startSimulator(const QStringList& extra, bool paced = false) {
        QStringList args{"--link",  QString::fromStdString((home / "ORVA-DS" / "COM2").string()),
                         "--clock", kClock,
                         "--days",  "30"};
        if (!paced) {
            args << "--no-pacing";
        }
        sim.start(ORVA_SIM_PATH, args + extra);
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(sim.waitForReadyRead(5000));
        ASSERT_TRUE(sim.readLine().startsWith("ready"));
    }

    void startProgram() {
        qt = std::make_unique<QtPlatform>(&window, window.statusBox(), window.textFeld());
        program = std::make_unique<Program>(qt->platform(), window);
        window.attach(program->editor);
        program->editor.Form_Load();
        window.show();
    }

    // "Uhr &lesen", answering its box; gives the box's title.
    QString readClockBoxTitle() {
        QString title;
        whenModalShows([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                title = box->windowTitle();
                box->accept();
            }
        });
        window.menuAction("mnuUhrlesen")->trigger();
        return title;
    }

    void TearDown() override {
        program.reset();
        qt.reset();
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            sim.waitForFinished(5000);
        }
        fs::current_path(oldCwd);
        qputenv("HOME", oldHome);
        fs::remove_all(home);
    }

    fs::path home;
    fs::path oldCwd;
    QByteArray oldHome;
    QProcess sim;
    MainWindow window;
    std::unique_ptr<QtPlatform> qt;
    std::unique_ptr<Program> program;
};

TEST_F(EndToEnd, ReadClockShowsTheSimulatorsClock) {
    startSimulator({});
    startProgram();
    QString text;
    QString title;
    whenModalShows([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            text = box->text();
            title = box->windowTitle();
            box->accept();
        }
    });
    window.menuAction("mnuUhrlesen")->trigger();
    EXPECT_EQ(title, "Uhrzeit und Datum von ORVA-DS und vom PC-System");
    EXPECT_TRUE(text.startsWith("\nORVA-DS \tUhr: 12:45:")) << text.toStdString();
    EXPECT_TRUE(text.contains("  Datum: 05.12.26\n\nPC\t\tUhr: ")) << text.toStdString();
    EXPECT_EQ(window.statusBox()->text(), "Status:");
}

TEST_F(EndToEnd, ClockSetByHandIsReadBack) {
    startSimulator({});
    startProgram();
    auto type = [](const char* text) {
        return [text](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(input, nullptr);
            input->setTextValue(text);
            input->accept();
        };
    };
    answerInTurn({[](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      ASSERT_NE(box, nullptr);
                      box->button(QMessageBox::No)->click();
                  },
                  type("02.11.1994"), type("14:35")});
    window.menuAction("mnuUhrstellen")->trigger();
    EXPECT_EQ(window.statusBox()->text(), "Status:");
    QString text;
    whenModalShows([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            text = box->text();
            box->accept();
        }
    });
    window.menuAction("mnuUhrlesen")->trigger();
    EXPECT_TRUE(text.startsWith("\nORVA-DS \tUhr: 14:35:0")) << text.toStdString();
    EXPECT_TRUE(text.contains("Datum: 02.11.94\n")) << text.toStdString();
}

TEST_F(EndToEnd, DailyDataIsSavedUnderTheProposedName) {
    startSimulator({});
    startProgram();
    QString proposed;
    whenModalShows([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        proposed = d->findChild<QLineEdit*>()->text();
        static_cast<QDialog*>(d)->accept();
    });
    window.menuAction("mnuTagesDaten")->trigger();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(proposed, "TD" + today.toString("ddMM") + ".txt");
    EXPECT_EQ(window.statusBox()->text(),
              "Status: Tages-Daten vom: " + today.toString("dd.MM.yyyy"));
    // The device's day is the simulator's 5 December.
    const std::string report = qt->platform().text.text();
    EXPECT_EQ(report.rfind("\tORVA-DS:  Datum: 05.12.26\r\n", 0), 0u) << report;
    EXPECT_EQ(readFile(home / "ORVA-DS" / proposed.toStdString()), utf8ToCp1252(report + "\r\n"));
}

TEST_F(EndToEnd, FromDateAsksAgainForADateTheDeviceDoesNotHold) {
    startSimulator({});
    startProgram();
    auto type = [](const char* text) {
        return [text](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(input, nullptr);
            input->setTextValue(text);
            input->accept();
        };
    };
    QString message;
    answerInTurn({type("01.01.90"),
                  [&](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      ASSERT_NE(box, nullptr);
                      message = box->text();
                      box->accept();
                  },
                  type("04.12.26"), [](QWidget* w) { static_cast<QDialog*>(w)->reject(); }});
    window.menuAction("mnuAbDatum")->trigger();
    EXPECT_EQ(message, QString::fromUtf8("Dieses Datum ist nicht gespeichert!\n\nGeben Sie bitte "
                                         "ein neues Datum ein."));
    EXPECT_EQ(window.statusBox()->text(), "Status: ab Datum: 04:12:26");
    const std::string report = qt->platform().text.text();
    EXPECT_EQ(report.rfind("\tORVA-DS:  Datum: 04.12.26\r\n", 0), 0u) << report;
    EXPECT_NE(report.find("Datum: 05.12.26"), std::string::npos);
}

TEST_F(EndToEnd, FileMenuSavesOpensPrintsAndQuits) {
    startProgram();
    qt->platform().text.setText("\tZähldaten\r\n\t13\t37");
    const fs::path file = home / "ORVA-DS" / "bericht.txt";
    whenModalShows([](QWidget* w) {
        w->findChild<QLineEdit*>()->setText("bericht");
        static_cast<QDialog*>(w)->accept();
    });
    window.menuAction("mnuDateiU(2)")->trigger(); // Speichern unter
    EXPECT_EQ(readFile(file), "\tZ\xe4hldaten\r\n\t13\t37\r\n");
    window.menuAction("mnuDateiU(1)")->trigger(); // Speichern: no dialog, same file
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    window.menuAction("mnuDateiU(0)")->trigger(); // Öffnen proposes the current file
    EXPECT_EQ(qt->platform().text.text(), "\tZähldaten\r\n\t13\t37\r\n");
    EXPECT_EQ(window.statusBox()->text().toStdString(),
              "Datei-Pfad: " + fs::canonical(file).string());

    const fs::path pdf = home / "druck.pdf";
    qt->printer().printer().setOutputFormat(QPrinter::PdfFormat);
    qt->printer().printer().setOutputFileName(QString::fromStdString(pdf.string()));
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    window.menuAction("mnuDateiU(4)")->trigger(); // Drucken
    EXPECT_TRUE(fs::exists(pdf));

    QTimer::singleShot(0, [&] { window.menuAction("mnuDateiU(6)")->trigger(); });
    QTimer deadline; // dies with the test, so it cannot end a later test's loop
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(5000);
    EXPECT_EQ(QApplication::exec(), 0); // Beenden ends the event loop at once
}

TEST_F(EndToEnd, AnOpenedReportIsNotOverwrittenAfterACancelledDownload) {
    startProgram();
    const fs::path file = home / "ORVA-DS" / "AD0612.txt";
    const std::string saved = "\tORVA-DS:  Datum: 06.12.26\r\n\t6\t7\r\n\r\n";
    std::ofstream(file, std::ios::binary) << saved;
    answerInTurn({[](QWidget* w) {
        w->findChild<QLineEdit*>()->setText("AD0612.txt");
        static_cast<QDialog*>(w)->accept();
    }});
    window.menuAction("mnuDateiU(0)")->trigger(); // Öffnen
    ASSERT_TRUE(window.statusBox()->text().startsWith("Datei-Pfad: "));
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    window.menuAction("mnuAbDatum")->trigger(); // its date box cancelled
    EXPECT_EQ(window.statusBox()->text(), "Status: ");

    QString asked;
    whenModalShows([&](QWidget* w) {
        asked = w->findChild<QLineEdit*>()->text();
        static_cast<QDialog*>(w)->reject();
    });
    window.menuAction("mnuDateiU(1)")->trigger(); // Speichern (Ctrl+S)
    EXPECT_EQ(asked, "AD0612.txt");
    EXPECT_EQ(readFile(file), saved);
}

TEST_F(EndToEnd, AllDataWritesTheReportOfTheSimulatorsMemory) {
    startSimulator({});
    startProgram();
    const fs::path target = home / "ORVA-DS" / "AD0512.txt";
    QString proposed;
    whenModalShows([&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) {
            proposed = d->findChild<QLineEdit*>()->text();
            d->selectFile(QString::fromStdString(target.string()));
            static_cast<QDialog*>(d)->accept();
        }
    });
    // The name proposed is today's; the test saves under the simulator's date instead.
    window.menuAction("mnuAlleDaten")->trigger();
    ASSERT_TRUE(fs::exists(target));

    // The same memory, dumped by the tool, evaluated on its own.
    QProcess dump;
    dump.start(ORVA_SIM_PATH, {"--clock", kClock, "--days", "30", "--dump-count-text"});
    ASSERT_TRUE(dump.waitForFinished(10000));
    const std::string countText = dump.readAllStandardOutput().trimmed().toStdString();
    test::FakePlatform fakes;
    test::FakeWindow fakeWindow;
    Program reference(fakes.platform, fakeWindow);
    reference.editor.Form_Load();
    reference.state.CountText = countText;
    reference.evaluation.BuildReport();

    EXPECT_EQ(program->state.CountText, countText);
    EXPECT_EQ(readFile(target), utf8ToCp1252(fakes.text.value + "\r\n"));
    std::size_t days = 0;
    for (auto at = fakes.text.value.find("Datum: "); at != std::string::npos;
         at = fakes.text.value.find("Datum: ", at + 1)) {
        ++days;
    }
    EXPECT_EQ(days, 30u);
    EXPECT_TRUE(proposed.startsWith("AD")) << proposed.toStdString();
}

TEST_F(EndToEnd, DeviceUnpluggedMidDownloadGivesOneReportAndTheProgramRunsOn) {
    startSimulator({}, true); // at 9600 baud the 30 days take about 20 seconds
    startProgram();
    // The device is pulled from outside, as a user would.
    QProcess::startDetached("sh",
                            {"-c", "sleep 1; kill -TERM " + QString::number(sim.processId())});
    {
        test::BoxAnswerer boxes;
        window.menuAction("mnuAlleDaten")->trigger();
        sim.waitForFinished(5000);
        ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join("|").toStdString();
        EXPECT_TRUE(boxes.texts[0].startsWith(QString::fromUtf8("Übertragungsfehler!")));
    }
    EXPECT_EQ(window.statusBox()->text(), "Status: ");
    EXPECT_FALSE(program->state.CountText.empty()); // what came before stays in memory
    EXPECT_FALSE(fs::exists(home / "ORVA-DS" / "AD0512.txt"));

    startSimulator({});
    EXPECT_EQ(readClockBoxTitle(), "Uhrzeit und Datum von ORVA-DS und vom PC-System");
}

TEST_F(EndToEnd, ProgramRecoversWhenTheDeviceReturns) {
    startSimulator({"--fault", "stop-after-blocks=3"});
    startProgram();
    int boxes = 0;
    std::function<void(QWidget*)> answerAll = [&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            ++boxes;
            EXPECT_TRUE(box->text().startsWith(QString::fromUtf8("Übertragungsfehler!")))
                << box->text().toStdString();
            box->accept();
        }
    };
    whenModalShows(answerAll);
    window.menuAction("mnuAlleDaten")->trigger();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(window.statusBox()->text(), "Status: ");
    // Gone for good: the next command reports the missing port once.
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    boxes = 0;
    QString text;
    whenModalShows([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            ++boxes;
            text = box->text();
            box->accept();
        }
    });
    window.menuAction("mnuUhrlesen")->trigger();
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Dieser Schnittstellen-Anschluß")))
        << text.toStdString();
    // Back again: the clock read works.
    startSimulator({});
    EXPECT_EQ(readClockBoxTitle(), "Uhrzeit und Datum von ORVA-DS und vom PC-System");
}

TEST_F(EndToEnd, APacedDownloadKeepsTheWindowAliveAndHoldsBackAMenuCommand) {
    startSimulator({"--days", "4"}, true);
    startProgram();
    auto* progress = window.statusBox()->findChild<QLabel*>("Progress");
    ASSERT_NE(progress, nullptr);
    PaintCounter paints;
    window.textFeld()->viewport()->installEventFilter(&paints);
    const std::string direction = program->state.CountDirection;
    std::string directionJustAfterTrigger;
    QStringList notes;
    int paintsDuringTransfer = 0;
    QTimer tick; // fires only when window events run
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!progress->isVisible()) {
            return;
        }
        paintsDuringTransfer = paints.count;
        window.textFeld()->viewport()->update();
        if (notes.isEmpty() || notes.last() != progress->text()) {
            notes << progress->text();
        }
        if (notes.size() == 3 && directionJustAfterTrigger.empty()) {
            window.menuAction("mnuZählrU(1)")->trigger();
            directionJustAfterTrigger = program->state.CountDirection;
        }
    });
    tick.start(50);
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); }); // Save As
    window.menuAction("mnuAlleDaten")->trigger();
    tick.stop();
    ASSERT_GE(notes.size(), 3) << "progress notes seen while the window ran events: "
                               << notes.join(" | ").toStdString();
    EXPECT_TRUE(notes[0].contains(" kB, 0:0")) << notes[0].toStdString();
    EXPECT_NE(notes.last(), notes[0]);
    EXPECT_GE(paintsDuringTransfer, 3);
    EXPECT_EQ(directionJustAfterTrigger, direction);
    EXPECT_NE(program->state.CountDirection, direction); // ran once the download was over
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(window.statusBox()->text().startsWith("Status: ")) << "status unchanged";
}

TEST_F(EndToEnd, TheLineTraceHoldsEveryByteOnTheLineInOrder) {
    startSimulator({"--days", "5", "--verbose"});
    startProgram();
    const fs::path tracePath = home / "trace.txt";
    auto trace = LineTrace::open(tracePath.string());
    ASSERT_TRUE(trace);
    qt->serial().setTrace(trace.get());
    whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); }); // Save As
    window.menuAction("mnuAlleDaten")->trigger();
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    const std::string log = readFile(tracePath);
    const std::string simLog = sim.readAllStandardError().toStdString();
    const std::string received = bytesFrom(log, "<DEV");
    EXPECT_EQ(received, bytesFrom(simLog, "<DEV"));
    EXPECT_EQ(bytesFrom(log, "PC>"), bytesFrom(simLog, "PC>"));
    // Both copies of every accepted block, in order.
    const std::string& countText = program->state.CountText;
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

} // namespace
} // namespace orva
