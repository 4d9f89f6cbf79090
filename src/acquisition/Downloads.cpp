#include "acquisition/Downloads.h"

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
        if (onDownloadEnd) {
            onDownloadEnd(outcome == LinkOutcome::Ok);
        }
        if (outcome == LinkOutcome::Stopped) {
            // The user's own choice: no box, no report.
            link_.DrainLine();
            p.comm.setPortOpen(false);
            p.screen.setPointer(Pointer::Arrow);
            p.screen.setStatus("Status: Die Übertragung wurde abgebrochen.");
        }
        if (outcome != LinkOutcome::Ok) {
            return;
        }
        if (kind.focusesReport) {
            p.screen.setPointer(Pointer::Arrow);
        }
        SaveData(kind, start);
        if (kind.focusesReport) {
            p.text.setFocus();
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
