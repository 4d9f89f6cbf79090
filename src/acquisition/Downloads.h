#pragma once

#include "app/ORVA_DS.h"
#include "archive/ArchiveServer.h"
#include "archive/CountArchive.h"
#include "evaluation/Evaluation.h"
#include "files/DataFiles.h"
#include "link/DeviceLink.h"

#include <functional>
#include <optional>

namespace orva {

// The three downloads of the "&Bearbeiten" menu: today's counts, counts from a date, all
// counts; each shows its report and offers it for saving.
class Downloads {
public:
    Downloads(ORVA_DS& state, OrvaModule& module, DeviceLink& link, DataFiles& files)
        : s_(state), module_(module), link_(link), files_(files) {}

    void mnuTagesDaten_Click();
    void mnuAbDatum_Click();
    void mnuAlleDaten_Click();

    // Told at the end of every download whether it succeeded.
    std::function<void(bool succeeded)> onDownloadEnd;
    // Every download's days go into this archive, to the site set there.
    void setArchive(CountArchive& archive, SiteSetting& site) {
        archive_ = &archive;
        site_ = &site;
    }
    // ... and then sent there.
    void setServer(ArchiveServer& server) { server_ = &server; }

    struct Kind;

private:
    void run(const Kind& kind);
    // The start date, or nothing when the user cancelled.
    std::optional<Date> AskStartDate();
    // From the wake-up to the report; a from-date download is given its start date.
    LinkOutcome DownloadData(const Kind& kind, const std::optional<Date>& start);
    // Offers the report for saving under the download's file name.
    void SaveData(const Kind& kind, const std::optional<Date>& start);
    // The days received whole go into the archive: all of them after a download, those
    // complete before it ended after a failed or stopped one. What went wrong, if anything.
    std::optional<ArchiveError> KeepInArchive(int& daysKept);

    ORVA_DS& s_;
    OrvaModule& module_;
    DeviceLink& link_;
    DataFiles& files_;
    // What one report leaves for the next.
    ReportCarryOver carryOver_;
    CountArchive* archive_ = nullptr;
    SiteSetting* site_ = nullptr;
    ArchiveServer* server_ = nullptr;
    // The count text is this download's: the reception began.
    bool received_ = false;
};

} // namespace orva
