#pragma once

namespace orva {

class ConfigScrn;
class frmErfasszr;
class frmInfo;

// Shows one of the small windows modally, already loaded, and returns when it has closed.
// The window's logic decides when that is (its `Unloaded`); the view only shows and forwards.
class ModalWindows {
public:
    virtual ~ModalWindows() = default;
    virtual void showConfigScrn(ConfigScrn& dialog) = 0;
    virtual void showErfasszr(frmErfasszr& dialog) = 0;
    virtual void showInfo(frmInfo& window) = 0;
};

} // namespace orva
