#pragma once

#include "ui/frmInfo.h"
#include "ui/qt/SmallDialog.h"

class QTextEdit;

namespace orva {

// The Qt view of `frmInfo`: the address block in a text field that fills the window, three
// empty icon places and "OK" on top of it.
class InfoDialog : public SmallDialog {
public:
    InfoDialog(frmInfo& logic, OrvaModule& module, QWidget* parent);

private:
    void showBlock();

    frmInfo& logic_;
    QTextEdit* box_;
};

} // namespace orva
