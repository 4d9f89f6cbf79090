#include "ui/frmInfo.h"

namespace orva {

std::string frmInfo::AddressBlock() const {
    const std::string& nl = s_.NewLine;
    return nl + "Programm zum Auslesen der Zähl-Lichtschranke" + nl + nl + "ORVA-DS  Version 1.7" +
           nl + nl + "Richtungsabhängige Personenzählung" + nl + nl + nl +
           "Zähldaten abrufen und auswerten," + nl + "speichern und drucken";
}

void frmInfo::Form_Load() {
    InfoBox_Change(AddressBlock());
}

bool frmInfo::InfoBox_Change(const std::string& content) {
    InfoBox = content;
    const std::string block = AddressBlock();
    if (InfoBox == block) {
        return false;
    }
    InfoBox = block;
    return true;
}

} // namespace orva
