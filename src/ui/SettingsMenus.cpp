#include "ui/SettingsMenus.h"

#include "ui/ConfigScrn.h"
#include "ui/ModalWindows.h"
#include "ui/frmErfasszr.h"
#include "ui/frmInfo.h"

namespace orva {
namespace {

// Chooses `value` of a three-item array, whose index is the value: marks only that item, then
// saves at once.
template <class Value>
void choose(MenuTree& menu, const char* name, Value value, Value& setting, OrvaModule& module) {
    for (int k = 0; k < 3; ++k) {
        menu.setChecked(name, k, false);
    }
    setting = value;
    menu.setChecked(name, static_cast<int>(value), true);
    module.succeeded(module.WriteSettings());
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

void SettingsMenus::markChoices() {
    for (int k = 0; k < 3; ++k) {
        menu_.setChecked(kDirectionMenu, k, false);
        menu_.setChecked(kRasterMenu, k, false);
    }
    checkDirection();
    // The evaluation works in hours only: a finer raster from the file stays visible, greyed.
    menu_.setEnabled(kRasterMenu, 1, false);
    menu_.setEnabled(kRasterMenu, 2, false);
    checkRaster();
}

void SettingsMenus::choosePeriod() {
    markChoices();
    if (windows_ != nullptr) {
        frmErfasszr dialog(s_, module_);
        dialog.Form_Load();
        windows_->showErfasszr(dialog);
    }
}

void SettingsMenus::chooseDirection(CountDirection direction) {
    choose(menu_, kDirectionMenu, direction, s_.settings.direction, module_);
}

void SettingsMenus::chooseRaster(TimeRaster raster) {
    choose(menu_, kRasterMenu, raster, s_.settings.raster, module_);
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
