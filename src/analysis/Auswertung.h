#pragma once

#include "analysis/CountTable.h"
#include "app/MenuTree.h"
#include "app/ORVA_DS.h"

#include <optional>

namespace orva {

inline constexpr const char* kExportFilter = "CSV-Dateien (*.csv)|*.csv|Alle Dateien (*.*)|*.*";

// The table window, one at a time and not modal.
class CountTableView {
public:
    virtual ~CountTableView() = default;
    // Opens the window with this table, or brings the open one to the front with it.
    virtual void show(const CountTable& table) = 0;
    // Gives an open window a new table; a closed one stays closed.
    virtual void refresh(const CountTable& table) = 0;
    virtual void close() = 0;
};

// The menu "Aus&wertung": the counts of this run's last successful download as a table window
// and as a file for spreadsheets. Its items are usable only while there are such counts.
class Auswertung {
public:
    Auswertung(ORVA_DS& state, OrvaModule& module, MenuTree& menu)
        : s_(state), module_(module), menu_(menu) {}

    void setView(CountTableView& view) { view_ = &view; }

    // After every download: a successful one brings its counts (a download without a single
    // day brings none), a failed one leaves none.
    void DownloadEnded(bool succeeded);
    // The direction or the period changed: an open window follows.
    void SettingsChanged();

    void mnuTabellarisch_Click();
    void mnuDatExport_Click();

private:
    CountTable table() const;
    void enableItems(bool enabled);

    ORVA_DS& s_;
    OrvaModule& module_;
    MenuTree& menu_;
    CountTableView* view_ = nullptr;
    std::optional<CountData> counts_;
};

} // namespace orva
