#include "Program.h"

namespace orva {

Program::Program(Platform& platform, EditorWindow& window)
    : editor(state, platform, window), link(state, editor.vars(), editor.module()),
      evaluation(state, editor.vars(), editor.module(), platform.text),
      clock(state, editor.vars(), editor.module(), link, evaluation),
      files(state, editor.module()),
      downloads(state, editor.vars(), editor.module(), link, evaluation, files) {
    editor.setMenuHandler("mnuTagesDaten", [this](int) { downloads.mnuTagesDaten_Click(); });
    editor.setMenuHandler("mnuAbDatum", [this](int) { downloads.mnuAbDatum_Click(); });
    editor.setMenuHandler("mnuAlleDaten", [this](int) { downloads.mnuAlleDaten_Click(); });
    editor.setMenuHandler("mnuDateiU", [this](int index) { files.mnuDateiU_Click(index); });
    editor.setMenuHandler("mnuUhrlesen", [this](int) { clock.mnuUhrlesen_Click(); });
    platform.comm.onComm = [this](int code) {
        try {
            link.MSComm1_OnComm(code);
        } catch (const RunTimeError& e) {
            editor.module().ReportRunTimeError(e);
        }
    };
}

} // namespace orva
