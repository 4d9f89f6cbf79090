#include "acquisition/Downloads.h"

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveRows.h"
#include "platform/GermanDate.h"

namespace orva {

// What differs between the three downloads.
struct Downloads::Kind {
    const char* letters;    // the command; a from-date download adds the date DD:MM:YY
    const char* filePrefix; // and the day and month of the start date, or of today
    const char* finalStatus;
    bool twoDigitYear; // of today's date in the final status
    bool fromDate;
    // The text area gets the focus after the report and the pointer is set back before the
    // save (else at the end of the download).
    bool focusesReport;
};

namespace {

const Downloads::Kind kDaily{"rt", "TD", "Status: Tages-Daten vom: ", false, false, false};
const Downloads::Kind kFromDate{"rab", "AB", "Status: ab Datum: ", false, true, true};
const Downloads::Kind kAll{"ra", "AD", "Status: alle Daten bis ", true, false, true};

std::string dayMonth(const Date& d) {
    return zeroPadded(d.day, 2) + zeroPadded(d.month, 2);
}

} // namespace

void Downloads::mnuTagesDaten_Click() {
    run(kDaily);
}

void Downloads::mnuAbDatum_Click() {
    run(kFromDate);
}

void Downloads::mnuAlleDaten_Click() {
    run(kAll);
}

void Downloads::run(const Kind& kind) {
    Platform& p = module_.platform();
    try {
        if (const Outcome<bool> discard = files_.mayDiscardText();
            !module_.succeeded(discard) || !*discard) {
            return;
        }
        files_.clearTextArea();
        received_ = false;
        LinkOutcome outcome = LinkOutcome::DateNotHeld;
        std::optional<Date> start;
        // Only a date the device does not hold is asked for again.
        while (outcome == LinkOutcome::DateNotHeld) {
            if (kind.fromDate) {
                module_.runStep([&] { start = AskStartDate(); });
            }
            if (kind.fromDate && !start) {
                p.screen.setPointer(Pointer::Arrow);
                return;
            }
            outcome = LinkOutcome::Failed;
            // A download that a run-time error ended has no report to offer for saving; the
            // error was reported.
            if (module_.runStep([&] { outcome = DownloadData(kind, start); }) &&
                outcome == LinkOutcome::Failed) {
                module_.ReportTransferError();
            }
        }
        // Before the save dialog, which may stay open for long: nothing received is lost.
        int daysKept = 0;
        const std::optional<ArchiveError> archiveError = KeepInArchive(daysKept);
        if (onDownloadEnd) {
            onDownloadEnd(outcome == LinkOutcome::Ok);
        }
        const std::string kept =
            std::to_string(daysKept) +
            (daysKept == 1 ? " vollständiger Tag wurde" : " vollständige Tage wurden") +
            " ins Archiv übernommen.";
        if (outcome == LinkOutcome::Stopped) {
            // The user's own choice: no box, no report.
            link_.DrainLine();
            p.comm.setPortOpen(false);
            p.screen.setPointer(Pointer::Arrow);
            p.screen.setStatus("Status: Die Übertragung wurde abgebrochen." +
                               (daysKept > 0 ? " " + kept : std::string()));
        } else if (outcome != LinkOutcome::Ok && daysKept > 0) {
            p.screen.setStatus("Status: " + kept);
        }
        if (outcome == LinkOutcome::Ok) {
            if (kind.focusesReport) {
                p.screen.setPointer(Pointer::Arrow);
            }
            SaveData(kind, start);
            if (kind.focusesReport) {
                p.text.setFocus();
            }
        }
        // Last, so that the download's own boxes come as they always came.
        if (archiveError) {
            p.screen.setPointer(Pointer::Arrow);
            p.screen.messageBox(archiveErrorText(*archiveError), MsgButtons::OK,
                                MsgIcon::Exclamation);
        } else if (server_ != nullptr && daysKept > 0 && outcome == LinkOutcome::Ok) {
            // After a failed or stopped transfer its box or status says enough: what it kept
            // goes with the next download, the next start or "An Server senden".
            server_->send(p.screen, false);
        }
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

std::optional<Date> Downloads::AskStartDate() {
    const int currentYear = module_.platform().clock.now().date.year;
    return module_.AskDate("Geben Sie das Datum ein, ab welchem Tag Sie auslesen wollen." +
                               std::string(6, '\r') +
                               "Eingabeformat:\tTT.MM.JJ\r\rBeispiel:\t02.11.94",
                           "ab -Datum- bis heute lesen", currentYear);
}

LinkOutcome Downloads::DownloadData(const Kind& kind, const std::optional<Date>& start) {
    Platform& p = module_.platform();
    link_.BeginCommand(true);
    const std::string dateText = start ? zeroPadded(start->day, 2) + ":" +
                                             zeroPadded(start->month, 2) + ":" +
                                             zeroPadded(start->year, 4).substr(2, 2)
                                       : "";
    LinkOutcome outcome = link_.WakeDevice();
    if (outcome == LinkOutcome::Ok) {
        // Failures of the from-date command count on from those of the wake-up.
        outcome = start ? link_.SendCommandTwiceInARow(kind.letters + dateText)
                        : link_.SendCommand(kind.letters);
    }
    if (outcome == LinkOutcome::Ok) {
        outcome = start ? link_.AnswerDateWakeUp() : link_.AnswerDeviceWakeUp();
    }
    if (outcome == LinkOutcome::DateNotHeld) {
        p.screen.setPointer(Pointer::Arrow);
        p.screen.messageBox("Dieses Datum ist nicht gespeichert!" + s_.NewLine + s_.NewLine +
                            "Geben Sie bitte ein neues Datum ein.");
        p.screen.setStatus("Status:");
        p.comm.setPortOpen(false);
        return outcome;
    }
    if (outcome == LinkOutcome::Ok) {
        received_ = true;
        outcome = link_.ReceiveBulkData(s_.CountText);
    }
    if (outcome != LinkOutcome::Ok) {
        return outcome;
    }
    p.comm.setPortOpen(false);
    // The date of the final status: the start date as sent, or today's in two forms.
    const Date today = p.clock.now().date;
    p.screen.setStatus(kind.finalStatus + (start               ? dateText
                                           : kind.twoDigitYear ? formatDateTwoDigitYear(today)
                                                               : formatShortDate(today)));
    p.text.setText("");
    // `BuildReport`: the report of the count data, its run-time errors reported in the order met.
    const Report report = MakeReport(s_.CountText, s_.settings, s_.NewLine, carryOver_);
    carryOver_ = report.CarryOver;
    for (const int number : report.Errors) {
        module_.ReportRunTimeError(RunTimeError(number));
    }
    // A text area that fails is reported, and the command goes on.
    if (!module_.runStep([&] { p.text.setText(report.ReportText); })) {
        p.screen.setPointer(Pointer::Hourglass);
    }
    if (kind.focusesReport) {
        p.text.setFocus();
    } else {
        p.screen.setPointer(Pointer::Arrow);
    }
    return outcome;
}

std::optional<ArchiveError> Downloads::KeepInArchive(int& daysKept) {
    daysKept = 0;
    if (archive_ == nullptr || !received_) {
        return std::nullopt;
    }
    const DateTime now = module_.platform().clock.now();
    // Without the end marker, the day block still open is left out.
    const std::vector<ArchivedHour> hours = archiveHours(ReadCountData(s_.CountText), now.date);
    if (hours.empty()) {
        return std::nullopt;
    }
    ArchiveResult<MergeSummary> merged = archive_->merge(site_->site(), hours, now);
    std::optional<ArchiveError> error;
    if (const auto* e = std::get_if<ArchiveError>(&merged)) {
        error = *e;
        if (!e->movedTo.empty()) {
            // A damaged archive was put aside: the counts go into the new one.
            merged = archive_->merge(site_->site(), hours, now);
        }
    }
    if (const auto* summary = std::get_if<MergeSummary>(&merged)) {
        daysKept = summary->days;
    }
    return error;
}

void Downloads::SaveData(const Kind& kind, const std::optional<Date>& start) {
    Platform& p = module_.platform();
    if (s_.CountText.empty()) {
        p.screen.messageBox("Es sind keine Daten verfügbar! ");
        return;
    }
    const std::string fileName =
        kind.filePrefix + dayMonth(start ? *start : p.clock.now().date) + ".txt";
    s_.DataFileName = fileName;
    files_.DialogFileName = fileName;
    s_.AskFileName = 1;
    // A failed save is reported, and the command goes on.
    module_.succeeded(files_.SaveDataFile());
}

} // namespace orva
