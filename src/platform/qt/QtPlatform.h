#pragma once

#include "platform/Platform.h"
#include "platform/StdFileSystem.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtSerialControl.h"
#include "platform/qt/QtTextArea.h"

class QApplication;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace orva {

// Loads Qt's German texts so that standard buttons and Qt's own dialogs speak German.
void installGermanTranslations(QApplication& app);

// The Qt implementation of every platform interface, around the main window's widgets.
class QtPlatform {
public:
    QtPlatform(QWidget* window, QLabel* status, QPlainTextEdit* text);

    Platform& platform() { return platform_; }
    QtSerialControl& serial() { return serial_; }
    QtPrinter& printer() { return printer_; }
    // The line's bytes and the message boxes go to `trace` as well (none when null).
    void setTrace(LineTrace* trace) {
        serial_.setTrace(trace);
        screen_.setTrace(trace);
    }

private:
    StdFileSystem files_;
    QtSerialControl serial_;
    QtScreen screen_;
    QtTextArea text_;
    QtPrinter printer_;
    QtFileDialog dialog_;
    QtClock clock_;
    Platform platform_;
};

} // namespace orva
