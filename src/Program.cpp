#include "Program.h"

namespace orva {

Program::Program(Platform& platform, EditorWindow& window)
    : editor(state, platform, window), link(state, editor.vars(), editor.module()),
      evaluation(state, editor.vars(), editor.module(), platform.text),
      clock(state, editor.vars(), editor.module(), link, evaluation), files(state, editor.module()),
      downloads(state, editor.vars(), editor.module(), link, evaluation, files),
      settings(state, editor.module(), editor.menu()) {
    editor.setMenuHandler("mnuTagesDaten", [this](int) { downloads.mnuTagesDaten_Click(); });
    editor.setMenuHandler("mnuAbDatum", [this](int) { downloads.mnuAbDatum_Click(); });
    editor.setMenuHandler("mnuAlleDaten", [this](int) { downloads.mnuAlleDaten_Click(); });
    editor.setMenuHandler("mnuDateiU", [this](int index) { files.mnuDateiU_Click(index); });
    editor.setMenuHandler("mnuUhrlesen", [this](int) { clock.mnuUhrlesen_Click(); });
    editor.setMenuHandler("mnuEins", [this](int) { settings.mnuEins_Click(); });
    editor.setMenuHandler("mnuEinsU", [this](int index) { settings.mnuEinsU_Click(index); });
    editor.setMenuHandler(kDirectionMenu, [this](int index) { settings.mnuZaehlrU_Click(index); });
    editor.setMenuHandler(kRasterMenu, [this](int index) { settings.mnuZeitr_Click(index); });
    editor.setMenuHandler("mnuSchnittstelle", [this](int) { settings.mnuSchnittstelle_Click(); });
    editor.setMenuHandler("mnuInfo", [this](int) { settings.mnuInfo_Click(); });
    editor.setMenuHandler("mnuUhrstellen", [this](int) { clock.mnuUhrstellen_Click(); });
    platform.comm.onComm = [this](int code) {
        editor.module().runStep([&] { link.MSComm1_OnComm(code); });
    };
}

} // namespace orva
