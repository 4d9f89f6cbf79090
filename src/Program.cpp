#include "Program.h"

namespace orva {

Program::Program(Platform& platform, EditorWindow& window)
    : editor(state, platform, window),
      link(platform,
           [this](const std::function<void()>& step) { return editor.module().runStep(step); }),
      evaluation(state, editor.module(), platform.text), clock(state, editor.module(), link),
      files(state, editor.module()), downloads(state, editor.module(), link, evaluation, files),
      settings(state, editor.module(), editor.menu()),
      auswertung(state, editor.module(), editor.menu()) {
    MenuTree& menu = editor.menu();
    menu.setHandler("mnuTagesDaten", [this](int) { downloads.mnuTagesDaten_Click(); });
    menu.setHandler("mnuAbDatum", [this](int) { downloads.mnuAbDatum_Click(); });
    menu.setHandler("mnuAlleDaten", [this](int) { downloads.mnuAlleDaten_Click(); });
    menu.setHandler("mnuDateiU", [this](int index) { files.mnuDateiU_Click(index); });
    menu.setHandler("mnuUhrlesen", [this](int) { clock.mnuUhrlesen_Click(); });
    menu.setHandler("mnuUhrstellen", [this](int) { clock.mnuUhrstellen_Click(); });
    menu.setHandler("mnuEins", [this](int) { settings.mnuEins_Click(); });
    // The table window follows a new direction or period at once.
    menu.setHandler("mnuEinsU", [this](int index) {
        settings.mnuEinsU_Click(index);
        auswertung.SettingsChanged();
    });
    menu.setHandler(kDirectionMenu, [this](int index) {
        settings.mnuZaehlrU_Click(index);
        auswertung.SettingsChanged();
    });
    menu.setHandler(kRasterMenu, [this](int index) { settings.mnuZeitr_Click(index); });
    menu.setHandler("mnuSchnittstelle", [this](int) { settings.mnuSchnittstelle_Click(); });
    menu.setHandler("mnuInfo", [this](int) { settings.mnuInfo_Click(); });
    menu.setHandler("mnuTabellarisch", [this](int) { auswertung.mnuTabellarisch_Click(); });
    menu.setHandler("mnuDatExport", [this](int) { auswertung.mnuDatExport_Click(); });
    editor.mayClose = [this] { return files.mayDiscardText(); };
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

} // namespace orva
