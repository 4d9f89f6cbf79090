#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orva::test {

// How long an answer waits for its window before the test fails.
inline constexpr int kAnswerDeadlineMs = 10000;

// Answers still waiting for their window; a test must use up all of its own.
inline std::vector<QPointer<QTimer>>& pendingAnswers() {
    static std::vector<QPointer<QTimer>> pending;
    return pending;
}

// Runs the steps on the modal windows that show next, one step per window, in turn, polling
// every 5 ms. A new window may take the place (and the address) of the one just answered, so
// answered windows are marked. When no window shows within the deadline the test fails naming
// what it waited for, and an open modal dialog is closed so that no loop hangs.
inline void answerInTurn(std::vector<std::function<void(QWidget*)>> steps,
                         std::string waitingFor = {}) {
    if (waitingFor.empty()) {
        waitingFor = std::to_string(steps.size()) + " modal window(s) in turn";
    }
    auto* timer = new QTimer;
    timer->setObjectName(QString::fromStdString(waitingFor));
    auto next = std::make_shared<std::size_t>(0);
    auto ticksLeft = std::make_shared<int>(kAnswerDeadlineMs / 5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (w != nullptr && w->isVisible() && !w->property("answered").toBool()) {
            *ticksLeft = kAnswerDeadlineMs / 5;
            if (*next + 1 == steps.size()) {
                timer->stop();
                timer->deleteLater(); // once back in this event loop, after the step ran
            }
            w->setProperty("answered", true);
            steps[(*next)++](w);
        } else if (--*ticksLeft <= 0) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "waited " << kAnswerDeadlineMs / 1000 << " s for " << waitingFor
                          << " (window " << *next + 1 << ")";
            if (auto* modal = qobject_cast<QDialog*>(w)) {
                modal->reject();
            }
        }
    });
    pendingAnswers().push_back(timer);
    timer->start(5);
}

// Runs `act` on the next modal window, whatever it is.
inline void whenModalShows(std::function<void(QWidget*)> act) {
    answerInTurn({std::move(act)});
}

// Runs `act` on the next modal window, which must be the dialog named `objectName`.
inline void whenShown(const QString& objectName, std::function<void(QDialog*)> act) {
    answerInTurn({[objectName, act](QWidget* w) {
                     ASSERT_EQ(w->objectName(), objectName);
                     act(static_cast<QDialog*>(w));
                 }},
                 "the dialog " + objectName.toStdString());
}

// Answers every message box that shows while it lives, keeping their texts. Any other dialog
// is left to the test's answers, or is a failure and cancelled when `onlyBoxes` is set.
class BoxAnswerer {
public:
    BoxAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                texts.append(box->text());
                icons.append(box->icon());
                box->accept();
            } else if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && onlyBoxes) {
                ADD_FAILURE() << "unexpected dialog " << d->objectName().toStdString();
                d->reject();
            }
        });
        timer_.start(5);
    }

    QStringList texts;
    QList<QMessageBox::Icon> icons;
    bool onlyBoxes = false;

private:
    QTimer timer_;
};

} // namespace orva::test
