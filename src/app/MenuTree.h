#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orva {

// One entry of the main window's menu bar. Items of a menu array carry their index; the
// others have index -1. A caption of "-" is a separator line.
struct MenuItem {
    int level = 1;
    std::string name;
    int index = -1;
    std::string caption;
    std::string shortcut; // "Ctrl+S" style, or empty
    bool enabled = true;
    bool checked = false;
    bool talksToDevice = false; // runs off the window thread, so the window stays alive

    bool isSeparator() const { return caption == "-"; }
    // "mnuDateiU(1)" for array items, the plain name otherwise.
    std::string id() const;
};

// The menu tree of the main window as data, with its run-time states (check marks, enabled).
// The window draws it and follows every change through the observer.
class MenuTree {
public:
    MenuTree();

    const std::vector<MenuItem>& items() const { return items_; }
    const MenuItem* find(const std::string& name, int index = -1) const;
    // True when the item at position i opens a submenu (the next item is one level deeper).
    bool hasSubmenu(std::size_t i) const;

    void setChecked(const std::string& name, int index, bool checked);
    void setEnabled(const std::string& name, int index, bool enabled);

    using Handler = std::function<void()>;
    // The command of the item whose id() is `id`. An id that no item carries is kept in
    // `strayHandlers`, so that a test sees the slip.
    void setHandler(const std::string& id, const Handler& handler);
    // Runs the command of the item with this id; an item without one does nothing.
    void click(const std::string& id) const;
    // Enabled items that run nothing when clicked (separators and submenu titles aside).
    std::vector<std::string> unwiredItems() const;
    const std::vector<std::string>& strayHandlers() const { return stray_; }

    // Called with the item that changed.
    std::function<void(const MenuItem&)> onChange;

private:
    MenuItem* findMutable(const std::string& name, int index);
    std::vector<MenuItem> items_;
    std::vector<Handler> handlers_; // by item position
    std::vector<std::string> stray_;
};

} // namespace orva
