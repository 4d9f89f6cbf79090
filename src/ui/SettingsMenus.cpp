#include "ui/SettingsMenus.h"

#include "ui/ConfigScrn.h"
#include "ui/ModalWindows.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"

#include <array>
#include <string>

namespace orva {
namespace {

constexpr std::array<const char*, 3> kDirections = {"Beide_", "Links_", "Rechts"};
constexpr std::array<const char*, 3> kRasters = {"Std", "Min", "Sek"};

// Index of `value` among the three values; -1 for anything else (a hand-edited file).
template <class Values> int indexOf(const Values& values, const std::string& value) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (value == values[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Chooses value `index` of an item array: marks only that item, then saves at once. An index
// outside the array changes nothing but still saves.
template <class Values>
void choose(MenuTree& menu, const char* name, const Values& values, int index, std::string& setting,
            OrvaModule& module) {
    for (int k = 0; k < static_cast<int>(values.size()); ++k) {
        menu.setChecked(name, k, false);
    }
    if (index >= 0 && index < static_cast<int>(values.size())) {
        setting = values[static_cast<std::size_t>(index)];
        menu.setChecked(name, index, true);
    }
    module.WriteSettings();
}

} // namespace

void SettingsMenus::checkDirection() {
    if (const int i = indexOf(kDirections, s_.CountDirection); i >= 0) {
        menu_.setChecked(kDirectionMenu, i, true);
    }
}

void SettingsMenus::checkRaster() {
    if (const int i = indexOf(kRasters, s_.TimeRaster); i >= 0) {
        menu_.setChecked(kRasterMenu, i, true);
    }
}

void SettingsMenus::mnuEins_Click() {
    checkDirection();
}

void SettingsMenus::mnuEinsU_Click(int index) {
    for (int k = 0; k < 3; ++k) {
        menu_.setChecked(kDirectionMenu, k, false);
        menu_.setChecked(kRasterMenu, k, false);
    }
    checkDirection();
    // The evaluation works in hours only: a finer raster from the file stays visible, greyed.
    menu_.setEnabled(kRasterMenu, 1, false);
    menu_.setEnabled(kRasterMenu, 2, false);
    checkRaster();
    if (index == 2 && windows_ != nullptr) {
        frmErfasszr dialog(s_, module_);
        dialog.Form_Load();
        windows_->showErfasszr(dialog);
    }
}

void SettingsMenus::mnuZaehlrU_Click(int index) {
    choose(menu_, kDirectionMenu, kDirections, index, s_.CountDirection, module_);
}

void SettingsMenus::mnuZeitr_Click(int index) {
    choose(menu_, kRasterMenu, kRasters, index, s_.TimeRaster, module_);
}

void SettingsMenus::mnuSchnittstelle_Click() {
    if (windows_ != nullptr) {
        ConfigScrn dialog(s_, module_);
        dialog.Form_Load();
        windows_->showConfigScrn(dialog);
    }
}

void SettingsMenus::mnuInfo_Click() {
    if (windows_ != nullptr) {
        frmInfo window(s_);
        window.Form_Load();
        windows_->showInfo(window);
    }
}

} // namespace orva
