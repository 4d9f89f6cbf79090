#include "platform/qt/QtScreen.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace orva {

QtScreen::QtScreen(QWidget* window, QLabel* status) : window_(window), status_(status) {
    if (status_ != nullptr) {
        // Beside the status line, not over it: a new status text then repaints neither.
        progress_ = new QLabel(status_->parentWidget());
        progress_->setObjectName(QStringLiteral("Progress"));
        progress_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        progress_->setAttribute(Qt::WA_TransparentForMouseEvents);
        progress_->hide();
        stop_ = new QPushButton(QStringLiteral("Abbrechen"), status_->parentWidget());
        stop_->setObjectName(QStringLiteral("StopTransfer"));
        stop_->setFocusPolicy(Qt::NoFocus);
        stop_->hide();
        QObject::connect(stop_, &QPushButton::clicked, stop_, [this] {
            if (onStop) {
                onStop();
            }
        });
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window_);
        QObject::connect(escape, &QShortcut::activated, stop_, [this] {
            if (stop_->isVisible()) {
                stop_->click();
            }
        });
    }
}

QString displayText(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

int QtScreen::messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) {
    if (trace_ != nullptr) {
        trace_->boxShown(text);
    }
    QMessageBox box(window_);
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case MsgButtons::OK:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::OKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A box over a busy command shows the normal pointer; the caller's pointer returns after.
    const bool busy = hourglass_;
    if (busy) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    const int result = box.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
    switch (result) {
    case QMessageBox::Cancel:
        return answer::Cancel;
    case QMessageBox::Yes:
        return answer::Yes;
    case QMessageBox::No:
        return answer::No;
    default:
        return answer::OK;
    }
}

std::string QtScreen::inputBox(const std::string& prompt, const std::string& title) {
    QInputDialog dialog(window_);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(displayText(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.textValue().toStdString();
}

void QtScreen::setStatus(const std::string& text) {
    if (status_ == nullptr) {
        return;
    }
    status_->setText(QString::fromStdString(text));
}

void QtScreen::setProgress(const std::string& text) {
    if (progress_ == nullptr) {
        return;
    }
    progress_->setText(QString::fromStdString(text));
    const bool show = !text.empty();
    if (show == progress_->isVisible()) {
        return;
    }
    const QRect band(status_->pos(), QSize(status_->parentWidget()->width(), status_->height()));
    if (show) {
        const int buttonWidth = stop_->sizeHint().width();
        const int noteWidth = progress_->fontMetrics().horizontalAdvance(
            QStringLiteral("000 Tage, 0000,0 kB, 00:00"));
        stop_->setGeometry(band.right() - buttonWidth, band.top() + 1, buttonWidth,
                           band.height() - 2);
        progress_->setGeometry(band.right() - buttonWidth - 8 - noteWidth, band.top(), noteWidth,
                               band.height());
        status_->resize(progress_->x() - band.left(), band.height());
        progress_->raise();
        stop_->raise();
    } else {
        status_->resize(band.size());
    }
    progress_->setVisible(show);
    stop_->setVisible(show);
}

void QtScreen::setPointer(Pointer pointer) {
    const bool wantHourglass = pointer == Pointer::Hourglass;
    if (wantHourglass && !hourglass_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!wantHourglass && hourglass_) {
        QApplication::restoreOverrideCursor();
    }
    hourglass_ = wantHourglass;
}

void QtScreen::beep() {
    QApplication::beep();
}

void QtScreen::endProgram() {
    // The event loop stops before it takes the next event; main() then returns normally.
    QCoreApplication::exit(0);
}

} // namespace orva
