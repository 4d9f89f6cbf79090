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

// One answer: the window it waits for and what it does there.
struct Answer {
    std::function<bool(QWidget*)> matches;
    std::function<void(QWidget*)> act;
};

// Plays the answers on the modal windows as they show, in turn, polling every 5 ms. When a
// window does not show within the deadline, the test fails naming what it waited for, and an
// open modal window is closed so that no loop hangs.
inline void answerWindows(const std::string& waitingFor, std::vector<Answer> answers) {
    auto* timer = new QTimer;
    timer->setObjectName(QString::fromStdString(waitingFor));
    auto next = std::make_shared<std::size_t>(0);
    auto ticksLeft = std::make_shared<int>(kAnswerDeadlineMs / 5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (w != nullptr && w->isVisible() && answers[*next].matches(w)) {
            *ticksLeft = kAnswerDeadlineMs / 5;
            if (*next + 1 == answers.size()) {
                timer->stop();
                timer->deleteLater(); // once back in this event loop, after the answer ran
            }
            answers[(*next)++].act(w);
            return;
        }
        if (--*ticksLeft > 0) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        ADD_FAILURE() << "waited " << kAnswerDeadlineMs / 1000 << " s for " << waitingFor
                      << " (window " << *next + 1 << ")";
        if (auto* modal = qobject_cast<QDialog*>(w)) {
            modal->reject();
        }
    });
    pendingAnswers().push_back(timer);
    timer->start(5);
}

// Deletes the answers a test left unused and names them; true when there were none.
inline bool dropPendingAnswers(std::string* names = nullptr) {
    bool none = true;
    for (const QPointer<QTimer>& timer : pendingAnswers()) {
        if (timer && timer->isActive()) {
            none = false;
            if (names != nullptr) {
                *names += " [" + timer->objectName().toStdString() + "]";
            }
        }
        delete timer.data();
    }
    pendingAnswers().clear();
    return none;
}

// Runs `act` on the modal dialog named `objectName` as soon as it is shown.
inline void whenShown(const QString& objectName, std::function<void(QDialog*)> act) {
    answerWindows("the dialog " + objectName.toStdString(),
                  {{[objectName](QWidget* w) {
                        return qobject_cast<QDialog*>(w) != nullptr &&
                               w->objectName() == objectName;
                    },
                    [act](QWidget* w) { act(static_cast<QDialog*>(w)); }}});
}

// Runs the steps on the modal windows that show next, one step per window, in turn. A new
// window may take the place (and the address) of the one just answered, so answered windows
// are marked.
inline void answerInTurn(std::vector<std::function<void(QWidget*)>> steps) {
    std::vector<Answer> answers;
    for (auto& step : steps) {
        answers.push_back({[](QWidget* w) { return !w->property("answered").toBool(); },
                           [step](QWidget* w) {
                               w->setProperty("answered", true);
                               step(w);
                           }});
    }
    answerWindows(std::to_string(steps.size()) + " modal window(s) in turn", std::move(answers));
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
