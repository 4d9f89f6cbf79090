#include "ui/frmErfasszr.h"

namespace orva {

void frmErfasszr::Form_Load() {
    // The stored period is shown, as another program may have changed the file. A file deleted
    // meanwhile would be read back as the defaults: it gets the settings in force.
    if (module_.platform().files.fileExists(module_.settingsPath())) {
        module_.succeeded(module_.ReadSettings());
    } else {
        module_.succeeded(module_.WriteSettings());
    }
    von.Text = hourText(s_.settings.fromHour);
    bis.Text = hourText(s_.settings.toHour);
    for (ComboBoxState* box : {&von, &bis}) {
        for (int h = 0; h < 24; ++h) {
            box->List.push_back(hourText(h));
        }
    }
}

void frmErfasszr::OKErfasszr_Click() {
    Screen& screen = module_.platform().screen;
    const std::optional<int> from = hourOf(von.Text);
    const std::optional<int> to = hourOf(bis.Text);
    if (!from || !to) {
        screen.messageBox(
            "Die Eingabe ist ungültig!  Es sind nur Werte von 00:00 bis 23:00 zulässig.");
        return;
    }
    if (*from > *to) {
        screen.messageBox("Die Eingabe ist ungültig!  Die Zeitangabe im Feld -von:- muß kleiner "
                          "als im Feld -bis:- sein.");
        return;
    }
    s_.settings.fromHour = *from;
    s_.settings.toHour = *to;
    module_.succeeded(module_.WriteSettings());
    Unloaded = true;
}

} // namespace orva
