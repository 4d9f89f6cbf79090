#include "acquisition/Downloads.h"

#include "platform/GermanDate.h"

#include <functional>
#include <optional>

namespace orva {
namespace {

constexpr double kDateAnswerLimit = 4.0;
constexpr const char* kNoData = "Es sind keine Daten verfügbar! ";
constexpr const char* kTransferStatus = "Status: Die Daten werden übertragen";

} // namespace

Downloads::Downloads(ORVA_DS& state, EditorVariables& vars, OrvaModule& module, DeviceLink& link,
                     Evaluation& evaluation, DataFiles& files)
    : s_(state), v_(vars), module_(module), link_(link), evaluation_(evaluation), files_(files) {}

bool Downloads::runDownload(void (Downloads::*download)()) {
    return module_.runStep([&] { (this->*download)(); });
}

std::string Downloads::todayDayMonth() {
    const Date today = module_.platform().clock.now().date;
    return zeroPadded(today.day, 2) + zeroPadded(today.month, 2);
}

bool Downloads::startTransfer(const std::string& command) {
    SerialControl& comm = module_.platform().comm;
    link_.WakeDevice();
    if (s_.LinkErrorCount >= 3) {
        return false;
    }
    s_.SendBuffer = command;
    link_.SendCommand(s_.SendBuffer);
    if (s_.LinkErrorCount >= 3) {
        return false;
    }
    s_.SendBuffer = link_.sync(ctl::EOT);
    comm.output(s_.SendBuffer);
    link_.ReceiveCharacters(6);
    const std::string deviceWake = std::string(5, static_cast<char>(s_.SyncCode)) + ctl::ENQ;
    if (s_.ReceiveBuffer != deviceWake || s_.LinkErrorCount >= 3) {
        // A wrong wake-up from the device counts once; the download goes on below three.
        ++s_.LinkErrorCount;
        if (s_.LinkErrorCount >= 3) {
            link_.ReportTransferError();
            return false;
        }
    }
    s_.SendBuffer = link_.sync(ctl::ACK);
    comm.output(s_.SendBuffer);
    return true;
}

bool Downloads::receiveAndReport(const std::string& finalStatus) {
    Platform& p = module_.platform();
    link_.ReceiveBulkData();
    if (s_.LinkErrorCount >= 3) {
        return false;
    }
    p.comm.setPortOpen(false);
    p.screen.setStatus(finalStatus);
    p.text.setText("");
    evaluation_.BuildReport();
    return true;
}

void Downloads::offerForSaving(const std::string& fileName) {
    s_.DataFileName = fileName;
    files_.DialogFileName = fileName;
    s_.AskFileName = 1;
    files_.SaveDataFile();
}

// ---- today's counts ----

void Downloads::mnuTagesDaten_Click() {
    Platform& p = module_.platform();
    try {
        p.comm.clearInBuffer();
        files_.clearTextArea();
        const bool completed = runDownload(&Downloads::DownloadDailyData);
        if (s_.LinkErrorCount < 3) {
            if (completed) {
                SaveDailyData();
            }
        } else {
            s_.LinkErrorCount = 0;
        }
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

void Downloads::DownloadDailyData() {
    Platform& p = module_.platform();
    s_.LinkErrorCount = 0;
    p.comm.clearInBuffer();
    if (!p.comm.portOpen()) {
        p.comm.setPortOpen(true);
    }
    p.comm.clearInBuffer();
    s_.ReceiveBuffer.clear();
    p.screen.setPointer(Pointer::Hourglass);
    p.screen.setStatus(kTransferStatus);
    if (!startTransfer(link_.sync(ctl::STX) + "rt" + ctl::ETX)) {
        return;
    }
    if (!receiveAndReport("Status: Tages-Daten vom: " + formatShortDate(p.clock.now().date))) {
        return;
    }
    p.screen.setPointer(Pointer::Arrow);
}

void Downloads::SaveDailyData() {
    try {
        if (s_.CountText.empty()) {
            module_.platform().screen.messageBox(kNoData);
            return;
        }
        offerForSaving("TD" + todayDayMonth() + ".txt");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

// ---- counts from a date ----

void Downloads::mnuAbDatum_Click() {
    Platform& p = module_.platform();
    try {
        files_.clearTextArea();
        for (;;) {
            v_.InputCancelled = false;
            module_.runStep([this] { AskStartDate(); });
            if (v_.InputCancelled) {
                p.screen.setPointer(Pointer::Arrow);
                return;
            }
            const bool completed = runDownload(&Downloads::DownloadFromDate);
            if (s_.LinkErrorCount == 10) {
                s_.LinkErrorCount = 0;
                continue;
            }
            if (s_.LinkErrorCount < 3) {
                if (completed) {
                    p.screen.setPointer(Pointer::Arrow);
                    SaveFromDateData();
                    p.text.setFocus();
                }
                return;
            }
            s_.LinkErrorCount = 0;
            return;
        }
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

void Downloads::AskStartDate() {
    Platform& p = module_.platform();
    v_.MessageText = "Geben Sie das Datum ein, ab welchem Tag Sie auslesen wollen." +
                     std::string(6, '\r') + "Eingabeformat:\tTT.MM.JJ\r\rBeispiel:\t02.11.94";
    v_.InputTitle = "ab -Datum- bis heute lesen";
    v_.DateText.clear();
    const int currentYear = p.clock.now().date.year;
    std::optional<Date> date;
    do {
        v_.DateText = p.screen.inputBox(v_.MessageText, v_.InputTitle);
        date = parseGermanDate(v_.DateText, currentYear);
    } while (!v_.DateText.empty() && !date);
    if (v_.DateText.empty()) {
        v_.InputCancelled = true;
        return;
    }
    v_.DayText = zeroPadded(date->day, 2);
    v_.MonthText = zeroPadded(date->month, 2);
    v_.YearText = zeroPadded(date->year, 4).substr(2, 2);
    v_.DateText = v_.DayText + ":" + v_.MonthText + ":" + v_.YearText;
}

void Downloads::DownloadFromDate() {
    Platform& p = module_.platform();
    if (!p.comm.portOpen()) {
        p.comm.setPortOpen(true);
    }
    p.comm.clearInBuffer();
    p.screen.setPointer(Pointer::Hourglass);
    p.screen.setStatus(kTransferStatus);
    link_.WakeDevice();
    if (s_.LinkErrorCount >= 3) {
        return;
    }
    // The command goes out until two sends in a row are acknowledged; failures count on from
    // what the wake-up left.
    s_.SendBuffer = link_.sync(ctl::STX) + "rab" + v_.DateText + ctl::ETX;
    int acknowledged = 0;
    while (acknowledged < 2) {
        p.comm.output(s_.SendBuffer);
        link_.ReceiveCharacters(2);
        if (s_.ReceiveBuffer != link_.sync(ctl::ACK) || s_.LinkErrorCount >= 3) {
            ++s_.LinkErrorCount;
            if (s_.LinkErrorCount >= 3) {
                link_.ReportTransferError();
                return;
            }
            acknowledged = 0;
        } else {
            ++acknowledged;
        }
    }
    s_.SendBuffer = link_.sync(ctl::EOT);
    p.comm.output(s_.SendBuffer);
    // Silence here means the device does not hold the date; its answer is not compared.
    p.comm.setInputLen(6);
    v_.StartTime = p.clock.timer();
    link_.waitForBytes(p.comm.inputLen(), kDateAnswerLimit);
    if (link_.elapsed() >= kDateAnswerLimit) {
        s_.LinkErrorCount = 10;
    }
    s_.ReceiveBuffer = p.comm.input();
    link_.settle(kDateAnswerLimit, true);
    if (s_.LinkErrorCount == 10) {
        p.screen.setPointer(Pointer::Arrow);
        p.screen.messageBox("Dieses Datum ist nicht gespeichert!" + s_.NewLine + s_.NewLine +
                            "Geben Sie bitte ein neues Datum ein.");
        p.screen.setStatus("Status:");
        p.comm.setPortOpen(false);
        return;
    }
    s_.SendBuffer = link_.sync(ctl::ACK);
    p.comm.output(s_.SendBuffer);
    if (!receiveAndReport("Status: ab Datum: " + v_.DateText)) {
        return;
    }
    p.text.setFocus();
    p.screen.doEvents();
}

void Downloads::SaveFromDateData() {
    saveReport("AB" + v_.DayText + v_.MonthText + ".txt");
}

void Downloads::saveReport(const std::string& fileName) {
    Platform& p = module_.platform();
    // Each step under the trap: a reported error lets the save go on with the next step.
    module_.runStep([&] { p.screen.doEvents(); });
    if (s_.CountText.empty()) {
        module_.runStep([&] { p.screen.messageBox(kNoData); });
        return;
    }
    module_.runStep([&] { offerForSaving(fileName); });
}

// ---- all counts ----

void Downloads::mnuAlleDaten_Click() {
    Platform& p = module_.platform();
    try {
        files_.clearTextArea();
        const bool completed = runDownload(&Downloads::DownloadAllData);
        if (s_.LinkErrorCount < 3) {
            if (completed) {
                p.screen.setPointer(Pointer::Arrow);
                SaveAllData();
                p.text.setFocus();
            }
        } else {
            s_.LinkErrorCount = 0;
        }
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

void Downloads::DownloadAllData() {
    Platform& p = module_.platform();
    if (!p.comm.portOpen()) {
        p.comm.setPortOpen(true);
    }
    p.comm.clearInBuffer();
    p.screen.setPointer(Pointer::Hourglass);
    p.screen.setStatus(kTransferStatus);
    s_.LinkErrorCount = 0;
    if (!startTransfer(link_.sync(ctl::STX) + "ra" + ctl::ETX)) {
        return;
    }
    if (!receiveAndReport("Status: alle Daten bis " + formatDateTwoDigitYear(p.clock.now().date))) {
        return;
    }
    p.text.setFocus();
    p.screen.doEvents();
}

void Downloads::SaveAllData() {
    saveReport("AD" + todayDayMonth() + ".txt");
}

} // namespace orva
