#include "platform/qt/WindowThread.h"

#include <QMetaObject>

#include <algorithm>

namespace orva {

namespace {

constexpr int kShowEveryMs = 250;

} // namespace

WindowThread::WindowThread(QObject* window) : window_(window), workerContext_(new QObject) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kShowEveryMs);
    QObject::connect(&showTimer_, &QTimer::timeout, &showTimer_, [this] {
        {
            const std::lock_guard lock(shownMutex_);
            if (std::all_of(shown_.begin(), shown_.end(), [](const auto& f) { return !f; })) {
                showing_ = false; // quiet: the next call is shown at once
                return;
            }
        }
        showPending();
        showTimer_.start();
    });
    worker_.setObjectName(QStringLiteral("device commands"));
    workerContext_->moveToThread(&worker_);
    QObject::connect(&worker_, &QThread::finished, workerContext_, &QObject::deleteLater);
    worker_.start();
}

WindowThread::~WindowThread() {
    worker_.quit();
    worker_.wait();
}

void WindowThread::cross(const std::function<void()>& f) {
    // The window thread runs `f` between its own events; this thread waits for the end.
    QMetaObject::invokeMethod(
        window_,
        [&] {
            showPending();
            f();
        },
        Qt::BlockingQueuedConnection);
}

void WindowThread::show(Shown kind, std::function<void()> f) {
    if (QThread::currentThread() == window_->thread()) {
        showPending();
        f();
        return;
    }
    {
        const std::lock_guard lock(shownMutex_);
        shown_[static_cast<std::size_t>(kind)] = std::move(f);
        if (std::exchange(showing_, true)) {
            return; // the posted showing or the end of the quiet time takes it
        }
    }
    QMetaObject::invokeMethod(
        &showTimer_,
        [this] {
            showPending();
            showTimer_.start();
        },
        Qt::QueuedConnection);
}

void WindowThread::showPending() {
    std::array<std::function<void()>, 3> taken;
    {
        const std::lock_guard lock(shownMutex_);
        taken.swap(shown_);
    }
    for (auto& f : taken) {
        if (f) {
            f();
        }
    }
}

void WindowThread::runCommand(std::function<void()> command, std::function<void()> done) {
    stop_ = false;
    QMetaObject::invokeMethod(
        workerContext_,
        [this, command = std::move(command), done = std::move(done)] {
            command();
            QMetaObject::invokeMethod(
                window_,
                [this, done] {
                    showPending();
                    done();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void WindowThread::runOnWorker(std::function<void()> work) {
    QMetaObject::invokeMethod(workerContext_, std::move(work), Qt::QueuedConnection);
}

} // namespace orva
