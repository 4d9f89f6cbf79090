#pragma once

#include "app/ORVA_DS.h"

#include <string>
#include <vector>

namespace orva {

inline constexpr const char* kErfasszrCaption = "Auswertungszeitraum";

// What a combo box with editable text holds: the text and the drop-down list.
struct ComboBoxState {
    std::string Text;
    std::vector<std::string> List;
};

// The evaluation period dialog: a start and an end hour, "00:00" to "23:00".
class frmErfasszr {
public:
    frmErfasszr(ORVA_DS& state, OrvaModule& module) : s_(state), module_(module) {}

    void Form_Load();
    void OKErfasszr_Click();
    void Abbrechen_Click() { Unloaded = true; }

    ComboBoxState von;
    ComboBoxState bis;
    bool Unloaded = false;

private:
    ORVA_DS& s_;
    OrvaModule& module_;
};

} // namespace orva
