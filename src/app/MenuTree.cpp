#include "app/MenuTree.h"

namespace orva {
namespace {

MenuItem entry(int level, const char* name, int index, const char* caption,
               const char* shortcut = "", bool enabled = true, bool checked = false) {
    return MenuItem{level, name, index, caption, shortcut, enabled, checked};
}

MenuItem deviceCommand(const char* name, const char* caption) {
    MenuItem item = entry(2, name, -1, caption);
    item.talksToDevice = true;
    return item;
}

} // namespace

std::string MenuItem::id() const {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

MenuTree::MenuTree()
    : items_{
          entry(1, "mnuDatei", -1, "&Datei"),
          entry(2, "mnuDateiU", 0, "Ö&ffnen"),
          entry(2, "mnuDateiU", 1, "&Speichern", "Ctrl+S"),
          entry(2, "mnuDateiU", 2, "Speichern &unter"),
          entry(2, "mnuDateiU", 3, "-"),
          entry(2, "mnuDateiU", 4, "&Drucken", "Ctrl+D"),
          entry(2, "mnuDateiU", 5, "-"),
          entry(2, "mnuDateiU", 6, "&Beenden"),
          entry(2, "mnuFileArray", -1, "-"),
          entry(1, "mnuBearb", -1, "&Bearbeiten"),
          deviceCommand("mnuTagesDaten", "&Tages-Daten"),
          deviceCommand("mnuAbDatum", "ab Datu&m"),
          deviceCommand("mnuAlleDaten", "&alle Daten"),
          entry(2, "mnuBearbU", -1, "-"),
          deviceCommand("mnuUhrlesen", "Uhr &lesen"),
          deviceCommand("mnuUhrstellen", "&Uhr stellen"),
          // The archive keeps the counts of earlier runs: usable from the start.
          entry(1, "mnuAusw", -1, "Aus&wertung"),
          entry(2, "mnuTabellarisch", 0, "&Tabellarisch", "", false),
          entry(2, "mnuDatExport", 1, "Daten E&xportieren", "", false),
          entry(2, "mnuAuswU", -1, "-"),
          entry(2, "mnuServer", -1, "Archiv-&Server…"),
          deviceCommand("mnuSenden", "An Server s&enden"),
          entry(1, "mnuEins", -1, "&Einstellungen"),
          entry(2, "mnuEinsU", 1, "Zähl-&Richtung"),
          entry(3, "mnuZählrU", 0, "beide Richtungen"),
          entry(3, "mnuZählrU", 1, "von links nach rechts"),
          entry(3, "mnuZählrU", 2, "von rechts nach links"),
          entry(2, "mnuEinsU", 2, "Auswertezeitrau&m"),
          entry(2, "mnuEinsU", 3, "&Zeit-Raster"),
          entry(3, "mnuZeitr", 0, "Stunden", "", true, true),
          entry(3, "mnuZeitr", 1, "Minuten"),
          entry(3, "mnuZeitr", 2, "Sekunden"),
          entry(2, "mnuEinsU", 4, "-"),
          entry(2, "mnuSchnittstelle", -1, "Schnittstellen-Parameter"),
          entry(1, "mnuInfo", -1, "&Info"),
      },
      handlers_(items_.size()) {}

const MenuItem* MenuTree::find(const std::string& name, int index) const {
    for (const auto& item : items_) {
        if (item.name == name && item.index == index) {
            return &item;
        }
    }
    return nullptr;
}

MenuItem* MenuTree::findMutable(const std::string& name, int index) {
    return const_cast<MenuItem*>(static_cast<const MenuTree*>(this)->find(name, index));
}

bool MenuTree::hasSubmenu(std::size_t i) const {
    return i + 1 < items_.size() && items_[i + 1].level > items_[i].level;
}

void MenuTree::setChecked(const std::string& name, int index, bool checked) {
    if (MenuItem* item = findMutable(name, index); item != nullptr && item->checked != checked) {
        item->checked = checked;
        if (onChange) {
            onChange(*item);
        }
    }
}

void MenuTree::setEnabled(const std::string& name, int index, bool enabled) {
    if (MenuItem* item = findMutable(name, index); item != nullptr && item->enabled != enabled) {
        item->enabled = enabled;
        if (onChange) {
            onChange(*item);
        }
    }
}

void MenuTree::setHandler(const std::string& id, const Handler& handler) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].id() == id) {
            handlers_[i] = handler;
            return;
        }
    }
    stray_.push_back(id);
}

void MenuTree::click(const std::string& id) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].id() == id && handlers_[i]) {
            handlers_[i]();
        }
    }
}

std::vector<std::string> MenuTree::unwiredItems() const {
    std::vector<std::string> unwired;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = items_[i];
        if (item.enabled && !item.isSeparator() && !hasSubmenu(i) && !handlers_[i]) {
            unwired.push_back(item.id());
        }
    }
    return unwired;
}

} // namespace orva
