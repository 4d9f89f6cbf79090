#pragma once

#include "ui/ConfigScrn.h"
#include "ui/ModalWindows.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"

#include <functional>
#include <string>
#include <vector>

namespace orva::test {

// Shows nothing: each opening runs the window's script, which plays the user on the loaded
// logic. Records the openings.
struct ScriptedWindows : ModalWindows {
    void showConfigScrn(ConfigScrn& dialog) override {
        shown.emplace_back("ConfigScrn");
        if (configScrn) {
            configScrn(dialog);
        }
    }
    void showErfasszr(frmErfasszr& dialog) override {
        shown.emplace_back("frmErfasszr");
        if (erfasszr) {
            erfasszr(dialog);
        }
    }
    void showInfo(frmInfo& window) override {
        shown.emplace_back("frmInfo");
        if (info) {
            info(window);
        }
    }

    std::function<void(ConfigScrn&)> configScrn;
    std::function<void(frmErfasszr&)> erfasszr;
    std::function<void(frmInfo&)> info;
    std::vector<std::string> shown;
};

} // namespace orva::test
