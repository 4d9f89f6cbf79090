#pragma once

#include <string>

namespace orva {

// The text area `TextFeld`. Its text uses CR LF line ends and TABs, whatever the widget keeps.
class TextArea {
public:
    virtual ~TextArea() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setFocus() = 0;
};

} // namespace orva
