#include "Program.h"

namespace orva {

Program::Program(Platform& platform, EditorWindow& window)
    : editor(state, platform, window),
      link(platform,
           [this](const std::function<void()>& step) { return editor.module().runStep(step); }),
      clock(state, editor.module(), link), files(state, editor.module()),
      downloads(state, editor.module(), link, files),
      settings(state, editor.module(), editor.menu()),
      auswertung(state, editor.module(), editor.menu()) {
    MenuTree& menu = editor.menu();
    // The File menu's commands return what failed; its box is shown here.
    menu.setHandler("mnuDateiU(0)", [this] { editor.module().succeeded(files.OpenDataFile()); });
    menu.setHandler("mnuDateiU(1)", [this] { editor.module().succeeded(files.Save()); });
    menu.setHandler("mnuDateiU(2)", [this] { editor.module().succeeded(files.SaveAs()); });
    menu.setHandler("mnuDateiU(4)", [this] { editor.module().succeeded(files.PrintTextArea()); });
    menu.setHandler("mnuDateiU(6)", [this] { editor.module().succeeded(files.Quit()); });
    menu.setHandler("mnuTagesDaten", [this] { downloads.mnuTagesDaten_Click(); });
    menu.setHandler("mnuAbDatum", [this] { downloads.mnuAbDatum_Click(); });
    menu.setHandler("mnuAlleDaten", [this] { downloads.mnuAlleDaten_Click(); });
    menu.setHandler("mnuUhrlesen", [this] { clock.mnuUhrlesen_Click(); });
    menu.setHandler("mnuUhrstellen", [this] { clock.mnuUhrstellen_Click(); });
    menu.setHandler("mnuTabellarisch(0)", [this] { auswertung.mnuTabellarisch_Click(); });
    menu.setHandler("mnuDatExport(1)", [this] { auswertung.mnuDatExport_Click(); });
    menu.setHandler("mnuServer", [this] {
        if (server) {
            server->mnuServer_Click(editor.module().platform().screen);
        }
    });
    menu.setHandler("mnuSenden", [this] {
        if (server) {
            server->mnuSenden_Click(editor.module().platform().screen);
        }
    });
    menu.setHandler("mnuEins", [this] { settings.mnuEins_Click(); });
    menu.setHandler("mnuEinsU(1)", [this] { settings.markChoices(); });
    menu.setHandler("mnuEinsU(3)", [this] { settings.markChoices(); });
    // The table window follows a new direction or period at once.
    menu.setHandler("mnuEinsU(2)", [this] {
        settings.choosePeriod();
        auswertung.SettingsChanged();
    });
    const std::pair<const char*, CountDirection> directions[] = {
        {"mnuZählrU(0)", CountDirection::Both},
        {"mnuZählrU(1)", CountDirection::Left},
        {"mnuZählrU(2)", CountDirection::Right}};
    for (const auto& [id, direction] : directions) {
        menu.setHandler(id, [this, direction = direction] {
            settings.chooseDirection(direction);
            auswertung.SettingsChanged();
        });
    }
    const std::pair<const char*, TimeRaster> rasters[] = {{"mnuZeitr(0)", TimeRaster::Hours},
                                                          {"mnuZeitr(1)", TimeRaster::Minutes},
                                                          {"mnuZeitr(2)", TimeRaster::Seconds}};
    for (const auto& [id, raster] : rasters) {
        menu.setHandler(id, [this, raster = raster] { settings.chooseRaster(raster); });
    }
    menu.setHandler("mnuSchnittstelle", [this] { settings.mnuSchnittstelle_Click(); });
    menu.setHandler("mnuInfo", [this] { settings.mnuInfo_Click(); });
    editor.mayClose = [this] {
        const Outcome<bool> discard = files.mayDiscardText();
        return editor.module().succeeded(discard) && *discard;
    };
    downloads.onDownloadEnd = [this](bool succeeded) { auswertung.DownloadEnded(succeeded); };
    // `MSComm1_OnComm`: a line error asks whether to go on; Cancel closes the port.
    platform.comm.onComm = [this, &platform](int code) {
        editor.module().runStep([&] {
            const std::optional<std::string> error = CommErrorText(code);
            if (!error) {
                return;
            }
            platform.screen.beep();
            state.MsgBoxAnswer = platform.screen.messageBox(
                *error, MsgButtons::OKCancel, MsgIcon::None, "Press Cancel to Quit, Ok to ignore.");
            if (state.MsgBoxAnswer == answer::Cancel && platform.comm.portOpen()) {
                platform.comm.setPortOpen(false);
            }
        });
    };
}

void Program::setArchive(CountArchive& local, SiteSetting& site, ServerSetting& serverSetting,
                         ArchiveServer::Connect connect) {
    server = std::make_unique<ArchiveServer>(local, serverSetting, std::move(connect));
    downloads.setArchive(local, site);
    downloads.setServer(*server);
}

} // namespace orva
