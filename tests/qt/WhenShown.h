#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace orva::test {

// Runs `act` on the modal dialog named `objectName` as soon as it is shown.
inline void whenShown(const QString& objectName, std::function<void(QDialog*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, objectName, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->objectName() != objectName) {
            return;
        }
        poll->stop();
        poll->deleteLater(); // once back in this event loop, after `act` has run
        act(dialog);
    });
    poll->start(5);
}

// Runs the steps on the modal windows that show next, one step per window, in turn. A new
// window may take the place (and the address) of the one just answered, so answered windows
// are marked.
inline void answerInTurn(std::vector<std::function<void(QWidget*)>> steps) {
    auto* poll = new QTimer;
    auto next = std::make_shared<std::size_t>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, next, steps] {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible() || w->property("answered").toBool()) {
            return;
        }
        w->setProperty("answered", true);
        if (*next + 1 == steps.size()) {
            poll->stop();
            poll->deleteLater();
        }
        steps[(*next)++](w);
    });
    poll->start(5);
}

// Runs `act` on the next modal window, whatever it is.
inline void whenModalShows(std::function<void(QWidget*)> act) {
    answerInTurn({std::move(act)});
}

// Answers every message box that shows while it lives, keeping their texts.
class BoxAnswerer {
public:
    BoxAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->accept();
            }
        });
        timer_.start(5);
    }

    QStringList texts;

private:
    QTimer timer_;
};

} // namespace orva::test
