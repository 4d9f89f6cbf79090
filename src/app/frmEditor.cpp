#include "app/frmEditor.h"

#include <algorithm>

namespace orva {

EditorLayout layoutEditor(int innerWidth, int innerHeight, int statusHeight) {
    EditorLayout l;
    l.status = {0, 0, std::max(0, innerWidth), statusHeight};
    l.text = {0, statusHeight, std::max(0, innerWidth), std::max(0, innerHeight - statusHeight)};
    return l;
}

Rect centredOnScreen(int screenWidth, int screenHeight, int width, int height) {
    return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height};
}

frmEditor::frmEditor(ORVA_DS& state, Platform& platform, EditorWindow& window)
    : s_(state), p_(platform), window_(window), module_(state, platform) {}

void frmEditor::Form_Load() {
    s_.NewLine = "\r\n";
    // The start-up trap: report, explain where the data directory belongs, and go on with the
    // next step.
    auto step = [this](const std::function<void()>& work) {
        if (!module_.runStep(work)) {
            p_.screen.messageBox("Fehler beim Starten!" + s_.NewLine +
                                 "Das Verzeichnis \\ORVA-DS muß sich auf Laufwerk C: befinden!");
        }
    };
    step([this] {
        // The data directory belongs to the program: made here when no installer made it.
        p_.files.makeDirectory(p_.files.dataDirectory());
        p_.files.setCurrentDir(p_.files.dataDirectory());
    });
    // The settings stay in the folder that start-up made current, wherever the file dialogs
    // move the current directory later.
    step([this] { s_.SettingsFolder = p_.files.currentDir(); });
    step([this] { window_.placeStatusAndText(); });
    step([this] { p_.screen.setPointer(Pointer::Arrow); });
    step([this] { window_.centreOnScreen(); });
    step([this] { module_.ReadSettings(); });
    step([this] { module_.ApplyPortSettings(); });
    step([this] { p_.screen.setStatus("Status: "); });
}

} // namespace orva
