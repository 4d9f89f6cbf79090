#include "fakes/FakePlatform.h"
#include "qt/WhenShown.h"
#include "ui/ConfigScrn.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"
#include "ui/qt/QtModalWindows.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <map>

namespace orva::test {
namespace {

template <class T> T* child(QDialog* dialog, const char* name) {
    T* widget = dialog->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void pressKey(QWidget* target, int key, const QString& text = {},
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &event);
}

void expectCentred(const QWidget* window) {
    const QPoint screen = window->screen()->geometry().center();
    EXPECT_NEAR(window->frameGeometry().center().x(), screen.x(), 1);
    EXPECT_NEAR(window->frameGeometry().center().y(), screen.y(), 1);
}

// The Qt dialogs over the logic, on fake serial port, boxes and files.
class DialogWindowTest : public testing::Test {
protected:
    DialogWindowTest() {
        s.NewLine = "\r\n";
        s.SettingsFolder = fake.files.dataDir;
        module.ReadSettings();
        module.ApplyPortSettings();
    }

    std::string settingsLine() const {
        return fake.files.file("/home/op/ORVA-DS/ORVAInit.txt").value_or("").substr(0, 24);
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : fake.screen.boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }

    FakePlatform fake;
    ORVA_DS s;
    OrvaModule module{s, fake.platform};
    QtModalWindows windows{nullptr, module};
};

using Checked = std::map<QString, QString>; // option name -> caption

Checked checkedOptions(QDialog* dialog) {
    Checked checked;
    for (const QRadioButton* b : dialog->findChildren<QRadioButton*>()) {
        if (b->isChecked()) {
            checked[b->objectName()] = b->text();
        }
    }
    return checked;
}

TEST_F(DialogWindowTest, SerialDialogShowsThePortInForceAndTheFixedLine) {
    ASSERT_EQ(fake.comm.port, 2);
    Checked shown;
    whenShown("ConfigScrn", [&](QDialog* d) {
        shown = checkedOptions(d);
        EXPECT_EQ(d->windowTitle(), "Schnittstellen-Parameter");
        EXPECT_EQ(d->findChildren<QGroupBox*>().size(), 7);
        EXPECT_EQ(child<QGroupBox>(d, "Frame6")->title(), "&Anschluß");
        EXPECT_TRUE(child<QPushButton>(d, "OKButton")->isDefault());
        EXPECT_EQ(child<QPushButton>(d, "CancelButton")->text(), "Cancel");
        // Only the port can be chosen: the fixed line cannot be clicked away.
        for (const QGroupBox* box : d->findChildren<QGroupBox*>()) {
            EXPECT_EQ(box->isEnabled(), box->objectName() == "Frame6")
                << box->objectName().toStdString();
        }
        child<QPushButton>(d, "CancelButton")->click();
    });
    ConfigScrn logic(s, module);
    logic.Form_Load();
    windows.showConfigScrn(logic);
    const Checked expected = {{"ComPort2", "Com2"}, {"Baud96", "9600"},    {"Data8", "8"},
                              {"Stop1", "1"},       {"NoParity", "Keine"}, {"EchoOff", "Off"},
                              {"NoFlow", "kein"}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(fake.comm.opens, 1); // Cancel tried the port in force
    EXPECT_TRUE(fake.screen.boxes.empty());
}

TEST_F(DialogWindowTest, PeriodDialogRejectsUntilAValidPeriodIsTyped) {
    const std::string reversed = "Die Eingabe ist ungültig!  Die Zeitangabe im Feld -von:- muß "
                                 "kleiner als im Feld -bis:- sein.";
    const std::string notAnHour =
        "Die Eingabe ist ungültig!  Es sind nur Werte von 00:00 bis 23:00 zulässig.";
    whenShown("frmErfasszr", [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Auswertungszeitraum");
        EXPECT_EQ(child<QLabel>(d, "txtErfasszr")->text(),
                  "Die Zähl-Lichtschranke speichert die Zähldaten rund um die Uhr.");
        EXPECT_EQ(child<QLabel>(d, "Bezeichnung1(1)")->text(),
                  "Es sind Werte von 00:00 Uhr bis 24:00 Uhr wählbar.");
        QComboBox* von = child<QComboBox>(d, "von");
        QComboBox* bis = child<QComboBox>(d, "bis");
        EXPECT_EQ(von->currentText(), "06:00");
        EXPECT_EQ(bis->currentText(), "18:00");
        ASSERT_EQ(bis->count(), 24);
        EXPECT_EQ(bis->itemText(0), "00:00");
        EXPECT_EQ(von->itemText(23), "23:00");
        EXPECT_TRUE(child<QPushButton>(d, "OKErfasszr")->isDefault());
        expectCentred(d);

        QPushButton* ok = child<QPushButton>(d, "OKErfasszr");
        von->setEditText("18:00");
        bis->setCurrentIndex(6);
        ok->click();
        EXPECT_EQ(boxTexts(), std::vector<std::string>{reversed});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(von->currentText(), "18:00");

        von->setEditText("6:00");
        ok->click();
        EXPECT_EQ(boxTexts(), (std::vector<std::string>{reversed, notAnHour}));
        EXPECT_TRUE(d->isVisible());

        von->setEditText("06:00");
        pressKey(von->lineEdit(), Qt::Key_Return, "\r"); // the default button takes Enter
        EXPECT_FALSE(d->isVisible());
    });
    frmErfasszr logic(s, module);
    logic.Form_Load();
    windows.showErfasszr(logic);
    EXPECT_EQ(settingsLine(), "Beide__Std_06:00_06:00_2");
    EXPECT_EQ(fake.screen.boxes.size(), 2u);
}

TEST_F(DialogWindowTest, PeriodDialogAbbrechenChangesNothing) {
    const int writes = fake.files.writes;
    whenShown("frmErfasszr", [&](QDialog* d) {
        child<QComboBox>(d, "von")->setEditText("00:00");
        child<QComboBox>(d, "bis")->setEditText("23:00");
        pressKey(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
    });
    frmErfasszr logic(s, module);
    logic.Form_Load();
    windows.showErfasszr(logic);
    EXPECT_EQ(fake.files.writes, writes);
    EXPECT_EQ(s.WindowFrom + "-" + s.WindowTo, "06:00-18:00");
    EXPECT_TRUE(fake.screen.boxes.empty());
}

TEST_F(DialogWindowTest, InfoTextStaysWhateverIsTypedPastedOrDeleted) {
    whenShown("frmInfo", [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Info");
        // 5790 by 3585 twips; the button at 2160, 2600, 1452 by 612.
        EXPECT_EQ(d->size(), QSize(386, 239));
        EXPECT_EQ(child<QPushButton>(d, "cmdAbout")->geometry(), QRect(144, 173, 97, 41));
        expectCentred(d);

        auto* box = child<QTextEdit>(d, "InfoBox");
        const QString shown = box->toPlainText();
        EXPECT_TRUE(shown.startsWith("\n"));
        EXPECT_TRUE(shown.contains("\nORVA-DS  Version 1.7\n"));

        box->moveCursor(QTextCursor::End);
        pressKey(box, Qt::Key_X, "x");
        EXPECT_EQ(box->toPlainText(), shown);
        box->insertPlainText("eingefügt\nzwei Zeilen");
        EXPECT_EQ(box->toPlainText(), shown);
        pressKey(box, Qt::Key_A, {}, Qt::ControlModifier);
        pressKey(box, Qt::Key_Backspace);
        EXPECT_EQ(box->toPlainText(), shown);
        pressKey(box, Qt::Key_Return, "\r");
        EXPECT_EQ(box->toPlainText(), shown);

        child<QPushButton>(d, "cmdAbout")->click();
        EXPECT_FALSE(d->isVisible());
    });
    frmInfo logic(s);
    logic.Form_Load();
    windows.showInfo(logic);
    EXPECT_TRUE(logic.Unloaded);
}

} // namespace
} // namespace orva::test
