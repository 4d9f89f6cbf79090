#include "ui/SettingsMenus.h"

#include "ui/ConfigScrn.h"
#include "ui/ModalWindows.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"

namespace orva {
namespace {

// Chooses item `index` of a three-item array, whose index is the value: marks only that item,
// then saves at once. An index outside the array changes nothing but still saves.
template <class Value>
void choose(MenuTree& menu, const char* name, int index, Value& setting, OrvaModule& module) {
    for (int k = 0; k < 3; ++k) {
        menu.setChecked(name, k, false);
    }
    if (index >= 0 && index < 3) {
        setting = static_cast<Value>(index);
        menu.setChecked(name, index, true);
    }
    module.WriteSettings();
}

} // namespace

void SettingsMenus::checkDirection() {
    menu_.setChecked(kDirectionMenu, static_cast<int>(s_.settings.direction), true);
}

void SettingsMenus::checkRaster() {
    menu_.setChecked(kRasterMenu, static_cast<int>(s_.settings.raster), true);
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
    choose(menu_, kDirectionMenu, index, s_.settings.direction, module_);
}

void SettingsMenus::mnuZeitr_Click(int index) {
    choose(menu_, kRasterMenu, index, s_.settings.raster, module_);
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
