#pragma once

#include "acquisition/Downloads.h"
#include "analysis/Auswertung.h"
#include "app/frmEditor.h"
#include "clock/DeviceClock.h"
#include "files/DataFiles.h"
#include "link/DeviceLink.h"
#include "ui/SettingsMenus.h"

namespace orva {

// The whole program logic on a platform: the shared state, the main window's logic and the
// subsystems, with every menu item wired to its command.
class Program {
public:
    Program(Platform& platform, EditorWindow& window);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ORVA_DS state;
    frmEditor editor;
    DeviceLink link;
    DeviceClock clock;
    DataFiles files;
    Downloads downloads;
    SettingsMenus settings;
    Auswertung auswertung;
};

} // namespace orva
