#pragma once

#include "platform/LineTrace.h"
#include "platform/Screen.h"

#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QWidget;

namespace orva {

class QtScreen : public Screen {
public:
    // Boxes are modal over `window`; the status line is `status`.
    QtScreen(QWidget* window, QLabel* status);

    using Screen::messageBox;
    int messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void setStatus(const std::string& text) override;
    // Shown at the right of the status band, painted with the window's other events.
    void setProgress(const std::string& text) override;
    void setPointer(Pointer pointer) override;
    void beep() override;
    // Its "Abbrechen" button (and Esc) call `onStop`; the answer lives with whoever runs the
    // command.
    bool stopRequested() override { return false; }
    void endProgram() override;
    // Every message box's text goes to `trace` as well (none when null).
    void setTrace(LineTrace* trace) { trace_ = trace; }

    std::function<void()> onStop;

private:
    QWidget* window_;
    QLabel* status_;
    QLabel* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool hourglass_ = false;
    LineTrace* trace_ = nullptr;
};

// Line ends of a message as a label shows them (CR LF and lone CR become LF).
QString displayText(const std::string& text);

} // namespace orva
