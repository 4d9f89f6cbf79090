#include "ui/qt/QtModalWindows.h"

#include "ui/qt/ConfigScrnDialog.h"
#include "ui/qt/ErfasszrDialog.h"
#include "ui/qt/InfoDialog.h"

namespace orva {

void QtModalWindows::showConfigScrn(ConfigScrn& dialog) {
    ConfigScrnDialog view(dialog, module_, parent_);
    view.exec();
}

void QtModalWindows::showErfasszr(frmErfasszr& dialog) {
    ErfasszrDialog view(dialog, module_, parent_);
    view.exec();
}

void QtModalWindows::showInfo(frmInfo& window) {
    InfoDialog view(window, module_, parent_);
    view.exec();
}

} // namespace orva
