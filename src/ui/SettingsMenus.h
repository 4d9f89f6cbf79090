#pragma once

#include "app/MenuTree.h"
#include "app/ORVA_DS.h"

namespace orva {

class ModalWindows;

inline constexpr const char* kDirectionMenu = "mnuZählrU";
inline constexpr const char* kRasterMenu = "mnuZeitr";

// The "&Einstellungen" menu and the "&Info" item: counting direction and time raster as check
// marks, and the three small windows. Check marks are a view of the settings, never read back.
class SettingsMenus {
public:
    SettingsMenus(ORVA_DS& state, OrvaModule& module, MenuTree& menu)
        : s_(state), module_(module), menu_(menu) {}

    // Until windows are given, the items that open one do nothing else.
    void setWindows(ModalWindows& windows) { windows_ = &windows; }

    // "&Einstellungen" opens: the direction in force marked.
    void mnuEins_Click();
    // A submenu of it opens: the direction and the raster in force marked, the finer rasters
    // greyed.
    void markChoices();
    // "Auswertezeitrau&m": the period dialog.
    void choosePeriod();
    // An item of "Zähl-&Richtung" or "&Zeit-Raster": marked alone and saved at once.
    void chooseDirection(CountDirection direction);
    void chooseRaster(TimeRaster raster);
    void mnuSchnittstelle_Click();
    void mnuInfo_Click();

private:
    void checkDirection();
    void checkRaster();

    ORVA_DS& s_;
    OrvaModule& module_;
    MenuTree& menu_;
    ModalWindows* windows_ = nullptr;
};

} // namespace orva
