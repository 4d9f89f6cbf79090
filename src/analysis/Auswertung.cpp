#include "analysis/Auswertung.h"

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveRows.h"
#include "files/DataFiles.h"

#include <algorithm>

namespace orva {
namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string()
                                      : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

Auswertung::Auswertung(ORVA_DS& state, OrvaModule& module, MenuTree& menu)
    : s_(state), module_(module), menu_(menu) {
    menu_.setEnabled("mnuTabellarisch", 0, true);
    menu_.setEnabled("mnuDatExport", 1, true);
}

void Auswertung::setArchive(CountArchive& archive, SiteSetting& site) {
    archive_ = local_ = &archive;
    site_ = &site;
}

void Auswertung::setServer(ServerSetting& setting, ArchiveServer::Connect connect) {
    serverSetting_ = &setting;
    connect_ = std::move(connect);
}

void Auswertung::chooseSource(bool server) {
    if (local_ == nullptr || server == onServer()) {
        return;
    }
    if (!server || !serverSet()) {
        server_.reset();
        archive_ = local_;
    } else {
        std::unique_ptr<CountArchive> connected = connect_(serverSetting_->server());
        if (const auto error = connected->open()) {
            showError(*error);
        } else {
            server_ = std::move(connected);
            archive_ = server_.get();
        }
    }
    update(request_, false);
}

std::string Auswertung::waitingNote() {
    if (local_ == nullptr || !serverSet()) {
        return {};
    }
    const auto pending = local_->unsent();
    const auto* downloads = std::get_if<std::vector<PendingDownload>>(&pending);
    return downloads == nullptr || downloads->empty()
               ? std::string()
               : waitingText(static_cast<int>(downloads->size()));
}

Date Auswertung::today() const {
    return module_.platform().clock.now().date;
}

std::string Auswertung::downloadSite() {
    return site_ != nullptr ? site_->site() : kDefaultSite;
}

void Auswertung::showError(const ArchiveError& error) {
    module_.platform().screen.messageBox(archiveErrorText(error), MsgButtons::OK,
                                         MsgIcon::Exclamation);
}

bool Auswertung::update(const ViewRequest& wanted, bool open, bool quiet) {
    if (archive_ == nullptr) {
        return false;
    }
    ViewRequest request = wanted;
    if (daysBetween(request.from, request.to) == 0) {
        std::swap(request.from, request.to);
    }
    request.grouping = fittingGrouping(request.grouping, request.from, request.to);
    Platform& p = module_.platform();
    p.screen.setPointer(Pointer::Hourglass);
    ArchiveResult<ArchiveView> view = makeArchiveView(*archive_, request);
    p.screen.setPointer(Pointer::Arrow);
    if (auto* e = std::get_if<ArchiveError>(&view)) {
        if (!quiet) {
            showError(*e);
        }
        return false;
    }
    request_ = request;
    shown_ = std::move(std::get<ArchiveView>(view));
    if (view_ != nullptr) {
        open ? view_->show(*shown_) : view_->refresh(*shown_);
    }
    return true;
}

void Auswertung::DownloadEnded(bool /*succeeded*/) {
    if (view_ != nullptr) {
        view_->downloadEnded();
    }
}

std::optional<std::pair<Date, Date>> Auswertung::rangeOf(RangePreset preset, bool quiet) {
    std::optional<std::pair<Date, Date>> extent;
    if (preset == RangePreset::All) {
        auto held = archive_->extent(request_.sites.empty() ? request_.site : std::string());
        if (auto* e = std::get_if<ArchiveError>(&held)) {
            if (!quiet) {
                showError(*e);
            }
            return std::nullopt;
        }
        extent = std::get<std::optional<std::pair<Date, Date>>>(held);
    }
    // An empty archive has no extent: its "Alles" is today.
    return presetRange(preset, today(), extent).value_or(std::pair(today(), today()));
}

ViewRequest Auswertung::opening() const {
    ViewRequest r;
    std::tie(r.from, r.to) = *presetRange(RangePreset::Last7Days, today(), std::nullopt);
    r.grouping = ViewGrouping::Day;
    r.direction = s_.settings.direction;
    r.fromHour = s_.settings.fromHour;
    r.toHour = s_.settings.toHour;
    r.site = request_.site;
    return r;
}

void Auswertung::follow() {
    if (archive_ == nullptr) {
        return;
    }
    ViewRequest next = request_;
    if (preset_) {
        const auto range = rangeOf(*preset_, true);
        if (!range) {
            return;
        }
        std::tie(next.from, next.to) = *range;
    }
    update(next, false, true);
}

void Auswertung::SettingsChanged() {
    request_.direction = s_.settings.direction;
    request_.fromHour = s_.settings.fromHour;
    request_.toHour = s_.settings.toHour;
    if (view_ != nullptr && view_->isOpen()) {
        update(request_, false);
    }
}

void Auswertung::mnuTabellarisch_Click() {
    if (view_ != nullptr && view_->isOpen()) {
        update(request_, true);
        return;
    }
    // A window opened anew starts on the last week in the direction of the settings.
    if (update(opening(), true)) {
        preset_ = RangePreset::Last7Days;
    }
}

void Auswertung::choose(const ViewRequest& request) {
    if (request.from != request_.from || request.to != request_.to) {
        preset_.reset();
    }
    update(request, false);
}

void Auswertung::choosePreset(RangePreset preset) {
    if (archive_ == nullptr) {
        return;
    }
    const auto range = rangeOf(preset, false);
    if (!range) {
        return;
    }
    ViewRequest next = request_;
    std::tie(next.from, next.to) = *range;
    if (update(next, false)) {
        preset_ = preset;
    }
}

void Auswertung::chooseSite(const std::string& site) {
    if (site_ != nullptr && !site.empty()) {
        site_->setSite(site);
    }
    ViewRequest next = request_;
    next.site = site;
    next.sites.clear();
    update(next, false);
}

void Auswertung::chooseSites(const std::vector<std::string>& sites) {
    if (sites.size() == 1) {
        chooseSite(sites.front());
        return;
    }
    ViewRequest next = request_;
    next.site.clear();
    next.sites = sites; // none chosen: all of them
    update(next, false);
}

void Auswertung::newSite() {
    Screen& screen = module_.platform().screen;
    const std::string name = trimmed(screen.inputBox(
        "Name des neuen Standorts (dorthin gehen die nächsten Downloads):", "Neuer Standort"));
    if (name.empty()) {
        return;
    }
    if (name == kAllSites) {
        screen.messageBox("„" + name + "“ ist kein Name für einen Standort.", MsgButtons::OK,
                          MsgIcon::Exclamation);
        return;
    }
    chooseSite(name);
}

void Auswertung::renameSite() {
    if (archive_ == nullptr || request_.site.empty()) {
        return;
    }
    Screen& screen = module_.platform().screen;
    const std::string from = request_.site;
    const std::string to = trimmed(
        screen.inputBox("Neuer Name für den Standort „" + from + "“:", "Standort umbenennen"));
    if (to.empty() || to == from) {
        return;
    }
    ArchiveResult<bool> renamed =
        to == kAllSites ? ArchiveResult<bool>(false) : archive_->renameSite(from, to);
    if (auto* e = std::get_if<ArchiveError>(&renamed)) {
        showError(*e);
        return;
    }
    if (!std::get<bool>(renamed)) {
        screen.messageBox("Den Standort „" + to +
                              "“ gibt es schon. Bitte wählen Sie einen anderen Namen.",
                          MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (site_ != nullptr && site_->site() == from) {
        site_->setSite(to);
    }
    ViewRequest next = request_;
    next.site = to;
    update(next, false);
}

void Auswertung::mnuDatExport_Click() {
    if (archive_ == nullptr) {
        return;
    }
    Platform& p = module_.platform();
    // The view as the archive holds it now: a closed window missed the downloads since. Before
    // the window was ever opened, the view it would open on.
    if (!update(shown_ ? request_ : opening(), false)) {
        return;
    }
    std::optional<FileDialogResult> chosen{
        {joinPath(p.files.dataDirectory(), ExportFileName(today())), {}, 1}};
    do {
        chosen = p.dialog.showSave({kExportFilter, std::max(1, chosen->filterIndex),
                                    kFileDialogFlags, chosen->fileName, module_.settingsPath()});
        if (!chosen) {
            return; // writes nothing, shows nothing
        }
    } while (refuseSettingsFile(module_, chosen->fileName, "den Export"));
    std::string csv;
    if (chosen->filterIndex == 2) {
        auto hours = archive_->hours({request_.site, request_.from, request_.to, request_.sites});
        if (auto* e = std::get_if<ArchiveError>(&hours)) {
            showError(*e);
            return;
        }
        csv = hourlyCsv(std::get<std::vector<ArchivedHour>>(hours));
    } else {
        csv = viewCsv(*shown_);
    }
    p.screen.setPointer(Pointer::Hourglass);
    const bool written = module_.succeeded(p.files.writeFile(chosen->fileName, csv));
    p.screen.setPointer(Pointer::Arrow);
    if (!written) {
        return;
    }
    // Not where an opened report shows its path: "Speichern" still writes the report.
    p.screen.setStatus("Status: Die Daten wurden exportiert nach " + chosen->fileName);
}

} // namespace orva
