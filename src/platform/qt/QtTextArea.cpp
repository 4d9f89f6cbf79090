#include "platform/qt/QtTextArea.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace orva {

std::string QtTextArea::text() const {
    // The widget keeps paragraphs, not line ends: give every break back as CR LF. Raw text
    // keeps characters (such as no-break spaces) that the plain-text export would change.
    QString raw = edit_->document()->toRawText();
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    for (QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar('\n')) {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out.toStdString();
}

void QtTextArea::setText(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    edit_->setPlainText(s); // also marks the document unmodified
}

void QtTextArea::setFocus() {
    edit_->setFocus();
}

bool QtTextArea::modified() const {
    return edit_->document()->isModified();
}

void QtTextArea::resetModified() {
    edit_->document()->setModified(false);
}

} // namespace orva
