#pragma once

#include "evaluation/Evaluation.h"
#include "files/DataFiles.h"
#include "link/DeviceLink.h"

namespace orva {

// The three downloads of the "&Bearbeiten" menu: today's counts, counts from a date, all
// counts; each shows its report and offers it for saving.
class Downloads {
public:
    Downloads(ORVA_DS& state, EditorVariables& vars, OrvaModule& module, DeviceLink& link,
              Evaluation& evaluation, DataFiles& files);

    void mnuTagesDaten_Click();
    void DownloadDailyData();
    void SaveDailyData();

    void mnuAbDatum_Click();
    void AskStartDate();
    void DownloadFromDate();
    void SaveFromDateData();

    void mnuAlleDaten_Click();
    void DownloadAllData();
    void SaveAllData();

private:
    // Runs a download under its trap. Returns false when a run-time error ended it: such a
    // download has no report to offer, so nothing may be saved after it.
    bool runDownload(void (Downloads::*download)());
    // Wakes the device, sends the command and answers the device's own wake-up; false when
    // the exchange failed (and was reported).
    bool startTransfer(const std::string& command);
    // The part of every download after the command: receive, close, status, report.
    bool receiveAndReport(const std::string& finalStatus);
    void offerForSaving(const std::string& fileName);
    // The save of the from-date and all-data downloads, each step under its own trap.
    void saveReport(const std::string& fileName);
    std::string todayDayMonth();

    ORVA_DS& s_;
    EditorVariables& v_;
    OrvaModule& module_;
    DeviceLink& link_;
    Evaluation& evaluation_;
    DataFiles& files_;
};

} // namespace orva
