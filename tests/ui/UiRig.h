#pragma once

#include "Program.h"
#include "ScriptedWindows.h"
#include "fakes/FakePlatform.h"

#include <optional>
#include <string>
#include <vector>

namespace orva::test {

inline constexpr const char* kSettingsPath = "/home/op/ORVA-DS/ORVAInit.txt";

// The whole program on fakes, started, with scripted small windows.
struct UiRig {
    explicit UiRig(const std::optional<std::string>& settingsLine = std::nullopt) {
        if (settingsLine) {
            fake.files.files[kSettingsPath] = *settingsLine + "\r\n";
        }
        program.editor.Form_Load();
        program.settings.setWindows(windows);
    }

    // The settings file's line without its CR LF.
    std::string settingsLine() const {
        const auto content = fake.files.file(kSettingsPath);
        return content ? content->substr(0, content->find("\r\n")) : "<no file>";
    }
    void click(const std::string& name, int index = -1) { program.editor.menuClick(name, index); }
    std::vector<bool> checks(const char* name) { return states(name, &MenuItem::checked); }
    std::vector<bool> enabled(const char* name) { return states(name, &MenuItem::enabled); }

    FakePlatform fake;
    FakeWindow window;
    Program program{fake.platform, window};
    ScriptedWindows windows;

private:
    std::vector<bool> states(const char* name, bool MenuItem::*field) {
        std::vector<bool> out;
        for (int i = 0; i < 3; ++i) {
            out.push_back(program.editor.menu().find(name, i)->*field);
        }
        return out;
    }
};

} // namespace orva::test
