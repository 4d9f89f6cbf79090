#pragma once

#include <string>

namespace orva {

inline constexpr const char* kProgramTitle = "ORVA-DS";

enum class MsgButtons { OK, OKCancel, YesNoCancel };
enum class MsgIcon { None, Question, Exclamation, Information };
enum class Pointer { Arrow = 1, Hourglass = 11 };

// Answers of a message box, numbered as the program stores them.
namespace answer {
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace answer

// Everything the logic shows or asks outside the text area: modal boxes, the status line,
// the mouse pointer, the beep, and the user's request to stop a transfer.
class Screen {
public:
    virtual ~Screen() = default;

    // A modal message box; returns the answer (1 OK, 2 Cancel, 6 Yes, 7 No).
    virtual int messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title) = 0;
    int messageBox(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                   MsgIcon icon = MsgIcon::None) {
        return messageBox(text, buttons, icon, kProgramTitle);
    }
    // A modal input box; returns the typed text, or an empty text on Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;
    // Sets the status line and repaints it at once.
    virtual void setStatus(const std::string& text) = 0;
    // A note on a long transfer beside the status line; an empty text removes it.
    virtual void setProgress(const std::string& text) = 0;
    virtual void setPointer(Pointer pointer) = 0;
    virtual void beep() = 0;
    // True once the user asked to stop the running transfer ("Abbrechen" beside the progress).
    virtual bool stopRequested() = 0;
    // Ends the program at once: no further window event runs, nothing is asked.
    virtual void endProgram() = 0;
};

} // namespace orva
