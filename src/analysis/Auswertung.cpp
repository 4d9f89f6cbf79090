#include "analysis/Auswertung.h"

#include "files/DataFiles.h"

namespace orva {

CountTable Auswertung::table() const {
    return MakeCountTable(*counts_, s_.settings, module_.platform().clock.now().date);
}

void Auswertung::enableItems(bool enabled) {
    menu_.setEnabled("mnuTabellarisch", 0, enabled);
    menu_.setEnabled("mnuDatExport", 1, enabled);
}

void Auswertung::DownloadEnded(bool succeeded) {
    counts_.reset();
    if (succeeded) {
        if (CountData data = ReadCountData(s_.CountText); !data.Days.empty()) {
            counts_ = std::move(data);
        }
    }
    enableItems(counts_.has_value());
    if (view_ == nullptr) {
        return;
    }
    // Counts of an earlier download must not stay on screen as if they were current.
    if (counts_) {
        view_->refresh(table());
    } else {
        view_->close();
    }
}

void Auswertung::SettingsChanged() {
    if (view_ != nullptr && counts_) {
        view_->refresh(table());
    }
}

void Auswertung::mnuTabellarisch_Click() {
    if (view_ != nullptr && counts_) {
        view_->show(table());
    }
}

void Auswertung::mnuDatExport_Click() {
    if (!counts_) {
        return;
    }
    Platform& p = module_.platform();
    try {
        const Date today = p.clock.now().date;
        std::optional<FileDialogResult> chosen{
            {joinPath(p.files.dataDirectory(), ExportFileName(today)), {}}};
        do {
            chosen = p.dialog.showSave(
                {kExportFilter, 1, kFileDialogFlags, chosen->fileName, module_.settingsPath()});
            if (!chosen) {
                return; // writes nothing, shows nothing
            }
        } while (refuseSettingsFile(module_, chosen->fileName, "den Export"));
        p.screen.setPointer(Pointer::Hourglass);
        if (!module_.succeeded(p.files.writeFile(chosen->fileName, ExportCsv(*counts_, today)))) {
            return;
        }
        p.screen.setPointer(Pointer::Arrow);
        // Not where an opened report shows its path: "Speichern" still writes the report.
        p.screen.setStatus("Status: Die Daten wurden exportiert nach " + chosen->fileName);
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
