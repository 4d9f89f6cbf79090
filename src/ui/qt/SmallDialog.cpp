#include "ui/qt/SmallDialog.h"

#include "app/frmEditor.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

namespace orva {

void SmallDialog::guarded(const std::function<void()>& work) {
    module_.runStep(work);
}

void SmallDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (centred_ || s == nullptr) {
        return;
    }
    centred_ = true;
    const QRect g = s->geometry();
    const QRect frame = frameGeometry();
    const Rect r = centredOnScreen(g.width(), g.height(), frame.width(), frame.height());
    move(g.left() + r.left, g.top() + r.top);
}

void SmallDialog::closeIf(bool unloaded) {
    if (unloaded) {
        done(QDialog::Accepted);
    }
}

void SmallDialog::keyPressEvent(QKeyEvent* event) {
    if (escape_ != nullptr && event->key() == Qt::Key_Escape &&
        event->modifiers() == Qt::NoModifier) {
        escape_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace orva
