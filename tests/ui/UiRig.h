#pragma once

#include "Program.h"
#include "fakes/FakePlatform.h"
#include "ui/ConfigScrn.h"
#include "ui/ModalWindows.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orva::test {

// Shows nothing: each opening is recorded and runs the window's script, which plays the user
// on the loaded logic.
struct ScriptedWindows : ModalWindows {
    void showConfigScrn(ConfigScrn& dialog) override { open("ConfigScrn", configScrn, dialog); }
    void showErfasszr(frmErfasszr& dialog) override { open("frmErfasszr", erfasszr, dialog); }
    void showInfo(frmInfo&) override { shown.emplace_back("frmInfo"); }

    std::function<void(ConfigScrn&)> configScrn;
    std::function<void(frmErfasszr&)> erfasszr;
    std::vector<std::string> shown;

private:
    template <class W> void open(const char* name, const std::function<void(W&)>& script, W& w) {
        shown.emplace_back(name);
        if (script) {
            script(w);
        }
    }
};

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
    std::vector<bool> checks(const char* name) {
        std::vector<bool> out;
        for (int i = 0; i < 3; ++i) {
            out.push_back(program.editor.menu().find(name, i)->checked);
        }
        return out;
    }

    static constexpr const char* kSettingsPath = "/home/op/ORVA-DS/ORVAInit.txt";
    FakePlatform fake;
    FakeWindow window;
    Program program{fake.platform, window};
    ScriptedWindows windows;
};

} // namespace orva::test
