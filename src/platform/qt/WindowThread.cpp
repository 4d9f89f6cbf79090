#include "platform/qt/WindowThread.h"

#include <QMetaObject>

namespace orva {

WindowThread::WindowThread(QObject* window) : window_(window), workerContext_(new QObject) {
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
    QMetaObject::invokeMethod(window_, f, Qt::BlockingQueuedConnection);
}

void WindowThread::runCommand(std::function<void()> command, std::function<void()> done) {
    stop_ = false;
    QMetaObject::invokeMethod(
        workerContext_,
        [this, command = std::move(command), done = std::move(done)] {
            command();
            QMetaObject::invokeMethod(window_, done, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void WindowThread::runOnWorker(std::function<void()> work) {
    QMetaObject::invokeMethod(workerContext_, std::move(work), Qt::QueuedConnection);
}

} // namespace orva
