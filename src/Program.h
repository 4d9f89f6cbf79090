#pragma once

#include "acquisition/Downloads.h"
#include "analysis/Auswertung.h"
#include "app/frmEditor.h"
#include "archive/ArchiveServer.h"
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
    // The central archive, once the program has a local one to send from.
    std::unique_ptr<ArchiveServer> server;

    // Every download is kept in `local` for the site set, then sent to the server set, if any.
    void setArchive(CountArchive& local, SiteSetting& site, ServerSetting& serverSetting,
                    ArchiveServer::Connect connect);
};

} // namespace orva
