#pragma once

#include "platform/TextArea.h"

class QPlainTextEdit;

namespace orva {

class QtTextArea : public TextArea {
public:
    explicit QtTextArea(QPlainTextEdit* edit) : edit_(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override;
    bool modified() const override;
    void resetModified() override;

private:
    QPlainTextEdit* edit_;
};

} // namespace orva
