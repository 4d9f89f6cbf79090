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
    // The data directory belongs to the program: made here when no installer made it. Without
    // it the program goes on in the folder it was started from.
    const Outcome<> made = p_.files.makeDirectory(p_.files.dataDirectory());
    if (!module_.succeeded(made ? p_.files.setCurrentDir(p_.files.dataDirectory()) : made)) {
        p_.screen.messageBox("Fehler beim Starten!" + s_.NewLine +
                             "Das Verzeichnis \\ORVA-DS muß sich auf Laufwerk C: befinden!");
    }
    // The settings stay in the folder that start-up made current, wherever the file dialogs
    // move the current directory later.
    s_.SettingsFolder = p_.files.currentDir();
    window_.placeStatusAndText();
    p_.screen.setPointer(Pointer::Arrow);
    window_.centreOnScreen();
    module_.succeeded(module_.ReadSettings());
    module_.succeeded(module_.ApplyPortSettings());
    p_.screen.setStatus("Status: ");
}

} // namespace orva
