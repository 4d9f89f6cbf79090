#include "fakes/FakePlatform.h"

#include <algorithm>

namespace orva::test {

double FakeClock::timer() {
    advance(step);
    return seconds;
}

void FakeClock::advance(double s) {
    seconds += s;
    if (onAdvance) {
        onAdvance(seconds);
    }
}

int FakeScreen::messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title) {
    boxes.push_back({text, buttons, icon, title});
    if (answers.empty()) {
        return answer::OK;
    }
    const int a = answers.front();
    answers.pop_front();
    return a;
}

std::string FakeScreen::inputBox(const std::string& prompt, const std::string& title) {
    prompts.push_back({prompt, title});
    if (inputs.empty()) {
        return {};
    }
    std::string typed = inputs.front();
    inputs.pop_front();
    return typed;
}

FileDialogResult FakeFileDialog::next(const std::string& kind, const FileDialogRequest& request) {
    requests.emplace_back(kind, request);
    if (files.empty() || !files.front()) {
        if (!files.empty()) {
            files.pop_front();
        }
        throw RunTimeError(err::DialogCancelled);
    }
    std::string path = *files.front();
    files.pop_front();
    const auto slash = path.find_last_of('/');
    return {path, slash == std::string::npos ? path : path.substr(slash + 1)};
}

FileDialogResult FakeFileDialog::showOpen(const FileDialogRequest& request) {
    return next("open", request);
}

FileDialogResult FakeFileDialog::showSave(const FileDialogRequest& request) {
    return next("save", request);
}

int FakeFileDialog::showPrinter(int flags) {
    printFlags.push_back(flags);
    if (copies.empty() || !copies.front()) {
        if (!copies.empty()) {
            copies.pop_front();
        }
        throw RunTimeError(err::DialogCancelled);
    }
    const int n = *copies.front();
    copies.pop_front();
    return n;
}

void FakePrinter::print(const std::string& text, int left, int top) {
    log.push_back("print " + std::to_string(left) + "," + std::to_string(top) + ": " + text);
}

void FakeSerial::setCommPort(int p) {
    if (open) {
        throw RunTimeError(err::PortAlreadyOpen);
    }
    if (p < 1 || p > 16) {
        throw RunTimeError(err::InvalidPortNumber);
    }
    port = p;
}

void FakeSerial::setPortOpen(bool o) {
    if (o && open) {
        throw RunTimeError(err::PortAlreadyOpen);
    }
    if (o && unavailablePorts.count(port) != 0) {
        throw RunTimeError(err::DeviceUnavailable);
    }
    if (o) {
        ++opens;
        received.clear();
    }
    open = o;
}

void FakeSerial::output(std::string_view bytes) {
    if (!open) {
        throw RunTimeError(8018, "Vorgang nur bei geöffnetem Anschluß gültig");
    }
    sent += bytes;
    if (device) {
        device(bytes);
    }
}

std::string FakeSerial::input() {
    if (!open) {
        throw RunTimeError(8018, "Vorgang nur bei geöffnetem Anschluß gültig");
    }
    const std::size_t n =
        len == 0 ? received.size() : std::min(received.size(), static_cast<std::size_t>(len));
    std::string taken = received.substr(0, n);
    received.erase(0, n);
    return taken;
}

int FakeSerial::inBufferCount() {
    if (!open) {
        throw RunTimeError(8018, "Vorgang nur bei geöffnetem Anschluß gültig");
    }
    return static_cast<int>(received.size());
}

void FakeSerial::clearInBuffer() {
    ++clears;
    received.clear();
}

std::string FakeFileSystem::resolve(const std::string& path) const {
    return joinPath(cwd, path);
}

void FakeFileSystem::setCurrentDir(const std::string& dir) {
    const std::string full = resolve(dir);
    if (dirs.count(full) == 0) {
        throw RunTimeError(err::PathNotFound);
    }
    cwd = full;
}

void FakeFileSystem::makeDirectory(const std::string& dir) {
    if (!canMakeDirs) {
        throw RunTimeError(err::PathNotFound);
    }
    dirs.insert(resolve(dir));
}

bool FakeFileSystem::fileExists(const std::string& path) {
    return files.count(resolve(path)) != 0;
}

std::string FakeFileSystem::readFile(const std::string& path) {
    const std::string full = resolve(path);
    if (auto it = readErrors.find(full); it != readErrors.end()) {
        throw RunTimeError(it->second);
    }
    if (!nextReadErrors.empty()) {
        const int number = nextReadErrors.front();
        nextReadErrors.pop_front();
        throw RunTimeError(number);
    }
    auto it = files.find(full);
    if (it == files.end()) {
        throw RunTimeError(err::FileNotFound);
    }
    return it->second;
}

void FakeFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    const std::string full = resolve(path);
    if (auto it = writeErrors.find(full); it != writeErrors.end()) {
        throw RunTimeError(it->second);
    }
    if (!nextWriteErrors.empty()) {
        const int number = nextWriteErrors.front();
        nextWriteErrors.pop_front();
        throw RunTimeError(number);
    }
    const auto slash = full.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && dirs.count(full.substr(0, slash)) == 0) {
        throw RunTimeError(err::PathNotFound);
    }
    ++writes;
    files[full] = std::string(bytes);
}

std::optional<std::string> FakeFileSystem::file(const std::string& path) const {
    auto it = files.find(resolve(path));
    if (it == files.end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace orva::test
