#pragma once

#include "ui/frmErfasszr.h"
#include "ui/qt/SmallDialog.h"

class QComboBox;

namespace orva {

// The Qt view of `frmErfasszr`: two combo boxes with editable text, OK and Abbrechen.
class ErfasszrDialog : public SmallDialog {
public:
    ErfasszrDialog(frmErfasszr& logic, OrvaModule& module, QWidget* parent);

private:
    frmErfasszr& logic_;
    QComboBox* von_;
    QComboBox* bis_;
};

} // namespace orva
