#pragma once

#include "platform/FileDialog.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "platform/TextArea.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace orva {

// The one place that knows threads. Device commands run on a worker thread, so that the
// window thread never waits on the line; every call such a command makes to the window is
// carried to the window thread and, unless it only shows something (show()), waits there for
// its answer.
class WindowThread {
public:
    // `window` is an object of the window thread, whose event loop serves the calls.
    explicit WindowThread(QObject* window);
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // Runs `f` on the window thread and hands back its result or its exception. On the
    // window thread itself it is a plain call.
    template <class F> auto call(F&& f) -> std::invoke_result_t<F&> {
        using R = std::invoke_result_t<F&>;
        if (QThread::currentThread() == window_->thread()) {
            showPending();
            return f();
        }
        std::exception_ptr error;
        if constexpr (std::is_void_v<R>) {
            cross([&] {
                try {
                    f();
                } catch (...) {
                    error = std::current_exception();
                }
            });
            if (error) {
                std::rethrow_exception(error);
            }
        } else {
            std::optional<R> result;
            cross([&] {
                try {
                    result.emplace(f());
                } catch (...) {
                    error = std::current_exception();
                }
            });
            if (error) {
                std::rethrow_exception(error);
            }
            return std::move(*result);
        }
    }

    // What a command shows without asking (status line, progress, pointer) does not wait for
    // the window: the newest call of each kind is kept and the window thread makes it at most
    // four times a second, and before any call that waits and at the command's end, so the
    // user sees everything in the order it was asked for and always the last of it.
    enum class Shown { Pointer, Status, Progress };
    void show(Shown kind, std::function<void()> f);

    // Runs `command` on the worker thread, then `done` on the window thread. Commands queue in
    // the order given; the window greys its menus meanwhile, so only one is ever waiting.
    void runCommand(std::function<void()> command, std::function<void()> done);
    // Runs `work` on the worker thread once no command runs there (the serial line's events).
    void runOnWorker(std::function<void()> work);

    // "Abbrechen" during a transfer: asked by the window, read by the command. The flag is set
    // back when the next command starts.
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

private:
    void cross(const std::function<void()>& f);
    // On the window thread: shows what is kept.
    void showPending();

    QObject* window_;
    QThread worker_;
    QObject* workerContext_; // lives in worker_, which runs what is queued to it in order
    std::atomic<bool> stop_{false};
    // Lives in the window thread: the quiet time after a showing, and the context of the
    // posted showings, which go with it.
    QTimer showTimer_;
    std::mutex shownMutex_;
    std::array<std::function<void()>, 3> shown_; // guarded by shownMutex_
    bool showing_ = false; // a showing is posted or the quiet time runs; guarded
};

// The window's boxes, status line, progress and pointer, from whichever thread asks.
class CrossScreen : public Screen {
public:
    CrossScreen(Screen& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}
    using Screen::messageBox;
    int messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override {
        return thread_.call([&] { return inner_.messageBox(text, buttons, icon, title); });
    }
    std::string inputBox(const std::string& prompt, const std::string& title) override {
        return thread_.call([&] { return inner_.inputBox(prompt, title); });
    }
    void setStatus(const std::string& text) override {
        thread_.show(WindowThread::Shown::Status, [this, text] { inner_.setStatus(text); });
    }
    void setProgress(const std::string& text) override {
        thread_.show(WindowThread::Shown::Progress, [this, text] { inner_.setProgress(text); });
    }
    void setPointer(Pointer pointer) override {
        thread_.show(WindowThread::Shown::Pointer, [this, pointer] { inner_.setPointer(pointer); });
    }
    void beep() override {
        thread_.call([&] { inner_.beep(); });
    }
    bool stopRequested() override { return thread_.stopRequested(); }
    void endProgram() override {
        thread_.call([&] { inner_.endProgram(); });
    }

private:
    Screen& inner_;
    WindowThread& thread_;
};

class CrossTextArea : public TextArea {
public:
    CrossTextArea(TextArea& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}
    std::string text() const override {
        return thread_.call([&] { return inner_.text(); });
    }
    void setText(const std::string& text) override {
        thread_.call([&] { inner_.setText(text); });
    }
    void setFocus() override {
        thread_.call([&] { inner_.setFocus(); });
    }
    bool modified() const override {
        return thread_.call([&] { return inner_.modified(); });
    }
    void resetModified() override {
        thread_.call([&] { inner_.resetModified(); });
    }

private:
    TextArea& inner_;
    WindowThread& thread_;
};

class CrossFileDialog : public FileDialog {
public:
    CrossFileDialog(FileDialog& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}
    std::optional<FileDialogResult> showOpen(const FileDialogRequest& request) override {
        return thread_.call([&] { return inner_.showOpen(request); });
    }
    std::optional<FileDialogResult> showSave(const FileDialogRequest& request) override {
        return thread_.call([&] { return inner_.showSave(request); });
    }
    std::optional<int> showPrinter(int flags) override {
        return thread_.call([&] { return inner_.showPrinter(flags); });
    }

private:
    FileDialog& inner_;
    WindowThread& thread_;
};

class CrossPrinter : public Printer {
public:
    CrossPrinter(Printer& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}
    Outcome<> print(const std::string& text, int leftTwips, int topTwips) override {
        return thread_.call([&] { return inner_.print(text, leftTwips, topTwips); });
    }
    Outcome<> newPage() override {
        return thread_.call([&] { return inner_.newPage(); });
    }
    Outcome<> endDoc() override {
        return thread_.call([&] { return inner_.endDoc(); });
    }

private:
    Printer& inner_;
    WindowThread& thread_;
};

} // namespace orva
