#pragma once

#include "platform/Platform.h"
#include "platform/StdFileSystem.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtSerialControl.h"
#include "platform/qt/QtTextArea.h"
#include "platform/qt/WindowThread.h"

class QApplication;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace orva {

// Loads Qt's German texts so that standard buttons and Qt's own dialogs speak German.
void installGermanTranslations(QApplication& app);

// The Qt implementation of every platform interface, around the main window's widgets. The
// logic reaches the window's parts from either thread; the serial port, the clock and the
// files belong to whichever thread runs the command.
class QtPlatform {
public:
    QtPlatform(QWidget* window, QLabel* status, QPlainTextEdit* text);

    Platform& platform() { return platform_; }
    QtSerialControl& serial() { return serial_; }
    QtPrinter& printer() { return printer_; }
    WindowThread& thread() { return thread_; }
    // The line's bytes and the message boxes go to `trace` as well (none when null).
    void setTrace(LineTrace* trace) {
        serial_.setTrace(trace);
        screen_.setTrace(trace);
    }

private:
    WindowThread thread_;
    StdFileSystem files_;
    QtSerialControl serial_;
    QtScreen screen_;
    QtTextArea text_;
    QtPrinter printer_;
    QtFileDialog dialog_;
    QtClock clock_;
    CrossScreen crossScreen_;
    CrossTextArea crossText_;
    CrossFileDialog crossDialog_;
    CrossPrinter crossPrinter_;
    Platform platform_;
};

} // namespace orva
