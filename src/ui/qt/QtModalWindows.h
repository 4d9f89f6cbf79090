#pragma once

#include "app/ORVA_DS.h"
#include "ui/ModalWindows.h"

class QWidget;

namespace orva {

// The small windows as Qt dialogs, modal over `parent`.
class QtModalWindows : public ModalWindows {
public:
    QtModalWindows(QWidget* parent, OrvaModule& module) : parent_(parent), module_(module) {}

    void showConfigScrn(ConfigScrn& dialog) override;
    void showErfasszr(frmErfasszr& dialog) override;
    void showInfo(frmInfo& window) override;

private:
    QWidget* parent_;
    OrvaModule& module_;
};

} // namespace orva
