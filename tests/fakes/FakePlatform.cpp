#include "fakes/FakePlatform.h"

#include <algorithm>

namespace orva::test {
namespace {

// The next scripted answer, or `otherwise` when the script has run out.
template <class T> T takeFirst(std::deque<T>& script, T otherwise) {
    if (script.empty()) {
        return otherwise;
    }
    T first = std::move(script.front());
    script.pop_front();
    return first;
}

} // namespace

int FakeScreen::messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title) {
    boxes.push_back({text, buttons, icon, title});
    return takeFirst(answers, int{answer::OK});
}

std::string FakeScreen::inputBox(const std::string& prompt, const std::string&) {
    prompts.push_back(prompt);
    return takeFirst(inputs, std::string{});
}

std::optional<FileDialogResult> FakeFileDialog::next(const std::string& kind,
                                                     const FileDialogRequest& request) {
    requests.emplace_back(kind, request);
    const auto path = takeFirst(files, std::optional<std::string>{});
    if (!path) {
        return std::nullopt;
    }
    return FileDialogResult{*path, path->substr(path->find_last_of('/') + 1), filter};
}

std::optional<int> FakeFileDialog::showPrinter(int) {
    return takeFirst(copies, std::optional<int>{});
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

void FakeSerial::requireOpen() const {
    if (!open) {
        throw RunTimeError(8018, "Vorgang nur bei geöffnetem Anschluß gültig");
    }
}

void FakeSerial::output(std::string_view bytes) {
    requireOpen();
    if (device) {
        device(bytes);
    }
}

std::string FakeSerial::input() {
    requireOpen();
    const std::size_t n = len == 0 ? received.size() : std::min<std::size_t>(received.size(), len);
    std::string taken = received.substr(0, n);
    received.erase(0, n);
    return taken;
}

Outcome<> FakeFileSystem::setCurrentDir(const std::string& dir) {
    if (dirs.count(resolve(dir)) == 0) {
        return Failure{err::PathNotFound};
    }
    cwd = resolve(dir);
    return {};
}

Outcome<> FakeFileSystem::makeDirectory(const std::string& dir) {
    if (!canMakeDirs) {
        return Failure{err::PathNotFound};
    }
    dirs.insert(resolve(dir));
    return {};
}

Outcome<std::string> FakeFileSystem::readFile(const std::string& path) {
    if (auto it = readErrors.find(resolve(path)); it != readErrors.end()) {
        return Failure{it->second};
    }
    const auto content = file(path);
    if (!content) {
        return Failure{err::FileNotFound};
    }
    return *content;
}

Outcome<> FakeFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    const std::string full = resolve(path);
    if (auto it = writeErrors.find(full); it != writeErrors.end()) {
        return Failure{it->second};
    }
    const auto slash = full.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && dirs.count(full.substr(0, slash)) == 0) {
        return Failure{err::PathNotFound};
    }
    ++writes;
    files[full] = std::string(bytes);
    return {};
}

std::optional<std::string> FakeFileSystem::file(const std::string& path) const {
    const auto it = files.find(resolve(path));
    return it == files.end() ? std::nullopt : std::optional(it->second);
}

} // namespace orva::test
