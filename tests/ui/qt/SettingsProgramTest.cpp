#include "Program.h"
#include "app/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"
#include "qt/WhenShown.h"
#include "ui/qt/QtModalWindows.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace orva::test {
namespace {

void pressKey(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &event);
}

// The program as main() builds it, with HOME in a fresh folder holding `settings`.
class SettingsProgramTest : public testing::Test {
protected:
    void start(const std::string& settings = "Beide__Std_06:00_18:00_2") {
        home = fs::temp_directory_path() /
               ("orva-ui-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home / "ORVA-DS");
        std::ofstream(home / "ORVA-DS" / "ORVAInit.txt", std::ios::binary) << settings << "\r\n";
        oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.string()));
        oldCwd = fs::current_path();
        qt = std::make_unique<QtPlatform>(&window, window.statusBox(), window.textFeld());
        program = std::make_unique<Program>(qt->platform(), window);
        dialogs = std::make_unique<QtModalWindows>(&window, program->editor.module());
        program->settings.setWindows(*dialogs);
        window.attach(program->editor);
        program->editor.Form_Load();
    }
    void TearDown() override {
        if (master >= 0) {
            ::close(master);
        }
        fs::current_path(oldCwd);
        qputenv("HOME", oldHome);
        fs::remove_all(home);
    }

    std::string settingsLine() const {
        std::ifstream in(home / "ORVA-DS" / "ORVAInit.txt", std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    // A pseudo-terminal behind port `n`, as a USB adapter's link would be.
    void linkPort(int n) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        fs::create_symlink(::ptsname(master), home / "ORVA-DS" / ("COM" + std::to_string(n)));
    }

    fs::path home;
    fs::path oldCwd;
    QByteArray oldHome;
    int master = -1;
    MainWindow window;
    std::unique_ptr<QtPlatform> qt;
    std::unique_ptr<Program> program;
    std::unique_ptr<QtModalWindows> dialogs;
};

TEST_F(SettingsProgramTest, MinutesFromTheFileShowCheckedButDisabled) {
    start("Beide__Min_06:00_18:00_2");
    emit window.menuAction("mnuEinsU(3)")->menu()->aboutToShow();
    QAction* hours = window.menuAction("mnuZeitr(0)");
    QAction* minutes = window.menuAction("mnuZeitr(1)");
    EXPECT_TRUE(minutes->isChecked());
    EXPECT_FALSE(minutes->isEnabled());
    EXPECT_FALSE(window.menuAction("mnuZeitr(2)")->isEnabled());
    EXPECT_FALSE(hours->isChecked());
    EXPECT_TRUE(hours->isEnabled());
}

// A port that is no serial line: one box per trial, and the dialog stays open with the port
// saved; Cancel tries it again and gives OK the focus; the close box leaves without a trial.
// Then a working port is taken with Enter.
TEST_F(SettingsProgramTest, SerialDialogKeepsAnUnavailablePortUntilAWorkingOneIsChosen) {
    start();
    std::ofstream(home / "ORVA-DS" / "COM4") << "not a serial port";
    linkPort(3);
    const QString unavailable = "Dieser Schnittstellen-Anschluß ist nicht verfügbar!\n\n"
                                "Wählen Sie einen anderen Anschluß!";
    BoxAnswerer boxes;
    bool openAfterClose = true;
    whenShown("ConfigScrn", [&](QDialog* d) {
        d->findChild<QRadioButton*>("ComPort4")->click();
        d->findChild<QPushButton*>("OKButton")->click();
        EXPECT_EQ(boxes.texts, QStringList{unavailable});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_4\r\n");

        pressKey(d, Qt::Key_Escape);
        EXPECT_EQ(boxes.texts, (QStringList{unavailable, unavailable}));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), d->findChild<QPushButton*>("OKButton"));

        d->close();
        openAfterClose = d->isVisible();
    });
    window.menuAction("mnuSchnittstelle")->trigger();
    EXPECT_FALSE(openAfterClose);
    EXPECT_EQ(boxes.texts.size(), 2);

    bool openAfterOk = true;
    whenShown("ConfigScrn", [&](QDialog* d) {
        d->findChild<QRadioButton*>("ComPort3")->click();
        pressKey(d, Qt::Key_Return, "\r");
        openAfterOk = d->isVisible();
    });
    window.menuAction("mnuSchnittstelle")->trigger();
    EXPECT_FALSE(openAfterOk);
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(settingsLine(), "Beide__Std_06:00_18:00_3\r\n");
    EXPECT_EQ(qt->serial().commPort(), 3);
    EXPECT_FALSE(qt->serial().portOpen());
}

TEST_F(SettingsProgramTest, InfoOpensFromTheMenuAndClosesWithOk) {
    start();
    QString text;
    whenShown("frmInfo", [&](QDialog* d) {
        text = d->findChild<QTextEdit*>("InfoBox")->toPlainText();
        d->findChild<QPushButton*>("cmdAbout")->click();
    });
    window.menuAction("mnuInfo")->trigger();
    EXPECT_TRUE(text.contains("ORVA-DS  Version 1.7"));
}

} // namespace
} // namespace orva::test
