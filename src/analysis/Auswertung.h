#pragma once

#include "analysis/ArchiveView.h"
#include "analysis/CountTable.h"
#include "app/MenuTree.h"
#include "app/ORVA_DS.h"
#include "archive/ArchiveServer.h"

#include <functional>
#include <memory>

#include <optional>

namespace orva {

inline constexpr const char* kExportFilter =
    "Ansicht als CSV (*.csv)|*.csv|Stundenwerte des Zeitraums (*.csv)|*.csv|"
    "Alle Dateien (*.*)|*.*";

// The archive window, one at a time and not modal.
class ArchiveWindowView {
public:
    virtual ~ArchiveWindowView() = default;
    virtual bool isOpen() = 0;
    // Opens the window with this view, or brings the open one to the front with it.
    virtual void show(const ArchiveView& view) = 0;
    // Gives an open window a new view; a closed one stays closed.
    virtual void refresh(const ArchiveView& view) = 0;
    // Called on the thread a download ran on: an open window has `Auswertung::follow` run on
    // the thread the archive belongs to.
    virtual void downloadEnded() = 0;
};

// The menu "Aus&wertung": any range of the count archive as a table and a chart, by hour, day,
// week, month or year, and as a file for spreadsheets. Its items are always usable: the archive
// keeps the counts of earlier runs.
class Auswertung {
public:
    Auswertung(ORVA_DS& state, OrvaModule& module, MenuTree& menu);

    void setView(ArchiveWindowView& view) { view_ = &view; }
    // The archive and the site downloads go to, used from the window thread only.
    void setArchive(CountArchive& archive, SiteSetting& site);
    // The central archive the window may read instead; connected on the window thread.
    void setServer(ServerSetting& setting, ArchiveServer::Connect connect);
    // Reads this PC's archive or the server's; the server's only when one is set and answers.
    void chooseSource(bool server);
    bool onServer() const { return server_ != nullptr; }
    bool serverSet() { return serverSetting_ != nullptr && !serverSetting_->server().empty(); }
    // How many downloads wait to be sent, in a sentence; empty when none wait.
    std::string waitingNote();

    // After every download, which may have brought counts even when it failed.
    void DownloadEnded(bool succeeded);
    // The direction or the period changed: an open window follows.
    void SettingsChanged();

    void mnuTabellarisch_Click();
    void mnuDatExport_Click();

    // The window's choices. Each reads the archive again and shows the new view, or one box.
    const ViewRequest& request() const { return request_; }
    void choose(const ViewRequest& request);
    void choosePreset(RangePreset preset);
    // A site, or all added up (empty); a site chosen is where the next downloads go.
    void chooseSite(const std::string& site);
    // Several sites added up; downloads keep their site.
    void chooseSites(const std::vector<std::string>& sites);
    void newSite();    // "Neu…"
    void renameSite(); // "Umbenennen…"
    // A download ended: the open window shows its view again, a preset's range moved on to
    // today. A failing archive shows no box here: the download has said so already.
    void follow();
    // The site downloads go to.
    std::string downloadSite();
    const std::optional<ArchiveView>& shown() const { return shown_; }
    // The preset the range came from, nothing for dates chosen by hand.
    std::optional<RangePreset> preset() const { return preset_; }

private:
    Date today() const;
    ViewRequest opening() const;
    // A preset's range; nothing, after the box unless `quiet`, when the archive fails.
    std::optional<std::pair<Date, Date>> rangeOf(RangePreset preset, bool quiet);
    // Reads the view of `request` and shows it; false, after the box, when the archive fails.
    bool update(const ViewRequest& request, bool open, bool quiet = false);
    void showError(const ArchiveError& error);

    ORVA_DS& s_;
    OrvaModule& module_;
    MenuTree& menu_;
    ArchiveWindowView* view_ = nullptr;
    CountArchive* archive_ = nullptr; // what the window reads: `local_` or `server_`
    CountArchive* local_ = nullptr;
    std::unique_ptr<CountArchive> server_;
    ServerSetting* serverSetting_ = nullptr;
    ArchiveServer::Connect connect_;
    SiteSetting* site_ = nullptr;
    ViewRequest request_;
    std::optional<RangePreset> preset_ = RangePreset::Last7Days;
    std::optional<ArchiveView> shown_;
};

} // namespace orva
