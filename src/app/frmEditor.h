#pragma once

#include "app/MenuTree.h"
#include "app/ORVA_DS.h"

#include <functional>
#include <string>

namespace orva {

inline constexpr const char* kEditorCaption = "Richtungsabhängige Zähl-Lichtschranke ORVA-DS 1.7";
inline constexpr int kTwipsPerPixel = 15; // at 96 dpi
inline constexpr int kStatusBandTwips = 360;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct EditorLayout {
    Rect status;
    Rect text;
};

// Status band at the top, text area below it, both as wide as the window; the text area
// never gets a negative height, however small the window. Pixels.
EditorLayout layoutEditor(int innerWidth, int innerHeight, int statusHeight);

// Top-left corner that centres a window on the screen.
Rect centredOnScreen(int screenWidth, int screenHeight, int width, int height);

// What the start-up needs of the window itself.
class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    // TextFeld to left 0, top of the band's height; StatusBox to left 0, top 0.
    virtual void placeStatusAndText() = 0;
    virtual void centreOnScreen() = 0;
};

// The logic of the main window `frmEditor`: start-up and the menu commands.
class frmEditor {
public:
    frmEditor(ORVA_DS& state, Platform& platform, EditorWindow& window);

    void Form_Load();
    // A click on the menu item with this id ("mnuDateiU(1)", "mnuTagesDaten"); also run when
    // the item's submenu opens.
    void menuClick(const std::string& id) { menu_.click(id); }

    // Asked before the window closes; false keeps it open.
    std::function<bool()> mayClose;

    ORVA_DS& state() { return s_; }
    Platform& platform() { return p_; }
    OrvaModule& module() { return module_; }
    MenuTree& menu() { return menu_; }

private:
    ORVA_DS& s_;
    Platform& p_;
    EditorWindow& window_;
    OrvaModule module_;
    MenuTree menu_;
};

} // namespace orva
