#pragma once

#include <string>

namespace orva {

// The text area `TextFeld`. Its text uses CR LF line ends and TABs, whatever the widget keeps.
class TextArea {
public:
    virtual ~TextArea() = default;
    virtual std::string text() const = 0;
    // Sets the text as the program's own: it counts as unchanged.
    virtual void setText(const std::string& text) = 0;
    virtual void setFocus() = 0;
    // True when the user changed the text since the program set it or last called
    // `resetModified` (typing it back as it was may count as unchanged again).
    virtual bool modified() const = 0;
    virtual void resetModified() = 0;
};

} // namespace orva
