#pragma once

#include "app/frmEditor.h"
#include "platform/Platform.h"
#include "platform/RunTimeError.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orva::test {

// A virtual clock that moves on by `step` seconds at every reading, so that polling waits
// end without real time passing. `onAdvance` lets a simulated device act as time goes by.
struct FakeClock : Clock {
    double timer() override { return advance(step); }
    DateTime now() override { return nowValue; }
    void idle() override { advance(step); }
    double advance(double s) {
        seconds += s;
        if (onAdvance) {
            onAdvance(seconds);
        }
        return seconds;
    }

    double seconds = 1000.0;
    double step = 0.001;
    DateTime nowValue{{2026, 12, 5}, 12, 45, 30};
    std::function<void(double)> onAdvance;
};

// Records every box, status text and progress note; answers boxes and input boxes from a script.
struct FakeScreen : Screen {
    struct Box {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::string title;
    };

    using Screen::messageBox;
    int messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;
    void setStatus(const std::string& text) override { statusHistory.push_back(text); }
    void setProgress(const std::string& text) override { progress.push_back(text); }
    void setPointer(Pointer) override {}
    void beep() override {}
    // The user asks to stop once the transfer has polled this many times (never: negative).
    bool stopRequested() override {
        stopAfterPolls -= stopAfterPolls > 0 ? 1 : 0;
        return stopAfterPolls == 0;
    }
    void endProgram() override { ++ends; }

    std::string status() const { return statusHistory.empty() ? "" : statusHistory.back(); }

    std::deque<int> answers;        // a box with nothing scripted is answered OK
    std::deque<std::string> inputs; // an input box with nothing scripted is cancelled
    std::vector<Box> boxes;
    std::vector<std::string> prompts;
    std::vector<std::string> statusHistory;
    std::vector<std::string> progress;
    int stopAfterPolls = -1;
    int ends = 0; // calls of endProgram
};

struct FakeTextArea : TextArea {
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = shown = text; }
    void setFocus() override {}
    // Setting `value` is what the user types.
    bool modified() const override { return value != shown; }
    void resetModified() override { shown = value; }
    std::string value;
    std::string shown; // as the program set it or last saved it
};

// Scripted dialogs: each entry is the chosen file (full path) or copies, or nothing for Cancel.
struct FakeFileDialog : FileDialog {
    std::optional<FileDialogResult> showOpen(const FileDialogRequest& r) override {
        return next("open", r);
    }
    std::optional<FileDialogResult> showSave(const FileDialogRequest& r) override {
        return next("save", r);
    }
    std::optional<int> showPrinter(int flags) override;
    std::optional<FileDialogResult> next(const std::string& kind, const FileDialogRequest& request);

    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<int>> copies;
    int filter = 0; // the filter each chosen file comes with
    std::vector<std::pair<std::string, FileDialogRequest>> requests; // "open"/"save"
};

struct FakePrinter : Printer {
    Outcome<> print(const std::string& text, int left, int top) override {
        log.push_back("print " + std::to_string(left) + "," + std::to_string(top) + ": " + text);
        return {};
    }
    Outcome<> newPage() override {
        log.emplace_back("newPage");
        return {};
    }
    Outcome<> endDoc() override {
        log.emplace_back("endDoc");
        return {};
    }
    std::vector<std::string> log;
};

// A serial control with the line in memory: what the program sends is handed to `device`,
// what the device sends is fed into the receive buffer.
struct FakeSerial : SerialControl {
    int commPort() const override { return port; }
    void setCommPort(int p) override;
    std::string settings() const override { return lineSettings; }
    void setSettings(const std::string& s) override { lineSettings = s; }
    bool portOpen() const override { return open; }
    void setPortOpen(bool o) override;
    int inputLen() const override { return len; }
    void setInputLen(int l) override { len = l; }
    void output(std::string_view bytes) override;
    std::string input() override;
    int inBufferCount() override {
        requireOpen();
        return static_cast<int>(received.size());
    }
    // Returns at once: the virtual clock moves on as the link reads it.
    int waitForInput(int, double) override { return inBufferCount(); }
    void clearInBuffer() override { received.clear(); }
    int outBufferCount() override { return 0; }

    void feed(std::string_view bytes) { received += bytes; }
    void requireOpen() const; // as the real control: error 8018 on a closed port

    int port = 1;
    std::string lineSettings;
    bool open = false;
    int len = 0;
    std::set<int> unavailablePorts; // opening these is error 68
    std::string received;           // not yet taken by the program
    int opens = 0;
    std::function<void(std::string_view)> device;
};

// Files in memory, with switches that make reads or writes fail.
struct FakeFileSystem : FileSystem {
    std::string dataDirectory() override { return dataDir; }
    std::string currentDir() override { return cwd; }
    Outcome<> setCurrentDir(const std::string& dir) override;
    Outcome<> makeDirectory(const std::string& dir) override;
    bool sameFile(const std::string& a, const std::string& b) override {
        return resolve(a) == resolve(b);
    }
    bool fileExists(const std::string& path) override { return files.count(resolve(path)) != 0; }
    Outcome<std::uintmax_t> fileSize(const std::string& path) override {
        const Outcome<std::string> bytes = readFile(path);
        return bytes ? Outcome<std::uintmax_t>((*bytes).size()) : bytes.failure();
    }
    Outcome<std::string> readFile(const std::string& path) override;
    Outcome<> writeFile(const std::string& path, std::string_view bytes) override;

    std::string resolve(const std::string& path) const { return joinPath(cwd, path); }
    std::optional<std::string> file(const std::string& path) const;

    std::string dataDir = "/home/op/ORVA-DS";
    std::string cwd = "/opt/orva";
    std::set<std::string> dirs = {"/home/op/ORVA-DS", "/opt/orva"};
    bool canMakeDirs = true;
    std::map<std::string, std::string> files;
    std::map<std::string, int> readErrors;  // full path -> run-time error number
    std::map<std::string, int> writeErrors; // full path -> run-time error number
    int writes = 0;
};

// The main window's own part of the start-up, recorded.
struct FakeWindow : EditorWindow {
    void placeStatusAndText() override { calls.emplace_back("place"); }
    void centreOnScreen() override { calls.emplace_back("centre"); }
    std::vector<std::string> calls;
};

// Every fake behind one Platform.
struct FakePlatform {
    FakeSerial comm;
    FakeScreen screen;
    FakeTextArea text;
    FakeFileDialog dialog;
    FakePrinter printer;
    FakeClock clock;
    FakeFileSystem files;
    Platform platform{comm, screen, text, dialog, printer, clock, files};
};

} // namespace orva::test
