#pragma once

#include "ui/ConfigScrn.h"
#include "ui/qt/SmallDialog.h"

class QPushButton;

namespace orva {

// The Qt view of `ConfigScrn`: seven frames of option buttons, OK and Cancel.
class ConfigScrnDialog : public SmallDialog {
public:
    ConfigScrnDialog(ConfigScrn& logic, OrvaModule& module, QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ConfigScrn& logic_;
    QPushButton* ok_;
};

} // namespace orva
