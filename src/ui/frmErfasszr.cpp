#include "ui/frmErfasszr.h"

namespace orva {
namespace {

// "00:00" to "23:00".
std::string hourText(int hour) {
    return std::string{static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10)} +
           ":00";
}

bool isHourText(const std::string& text) {
    for (int h = 0; h < 24; ++h) {
        if (text == hourText(h)) {
            return true;
        }
    }
    return false;
}

} // namespace

void frmErfasszr::Form_Load() {
    // Re-reading also brings the hours the evaluation uses up to the stored period. A file
    // deleted meanwhile would be read back as the defaults: it gets the settings in force.
    if (module_.platform().files.fileExists(module_.settingsPath())) {
        module_.ReadSettings();
    } else {
        module_.WriteSettings();
    }
    von.Text = s_.WindowFrom;
    bis.Text = s_.WindowTo;
    for (ComboBoxState* box : {&von, &bis}) {
        for (int h = 0; h < 24; ++h) {
            box->List.push_back(hourText(h));
        }
    }
}

void frmErfasszr::OKErfasszr_Click() {
    Screen& screen = module_.platform().screen;
    if (!isHourText(von.Text) || !isHourText(bis.Text)) {
        screen.messageBox(
            "Die Eingabe ist ungültig!  Es sind nur Werte von 00:00 bis 23:00 zulässig.");
        return;
    }
    if (von.Text > bis.Text) {
        screen.messageBox("Die Eingabe ist ungültig!  Die Zeitangabe im Feld -von:- muß kleiner "
                          "als im Feld -bis:- sein.");
        return;
    }
    s_.WindowFrom = von.Text;
    s_.WindowTo = bis.Text;
    // The confirmed period applies to the next report, not only after the next start.
    s_.WindowFromHour = von.Text.substr(0, 2);
    s_.WindowToHour = bis.Text.substr(0, 2);
    module_.WriteSettings();
    Unloaded = true;
}

} // namespace orva
