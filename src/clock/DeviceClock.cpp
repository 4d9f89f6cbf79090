#include "clock/DeviceClock.h"

#include "platform/Text.h"

#include <optional>

namespace orva {

DeviceClock::DeviceClock(ORVA_DS& state, EditorVariables& vars, OrvaModule& module,
                         DeviceLink& link, Evaluation& evaluation)
    : s_(state), v_(vars), module_(module), link_(link), evaluation_(evaluation) {}

bool DeviceClock::wakeAndSend(const std::string& letters) {
    // A failure has been reported by the link; the count starts afresh for the next command.
    link_.WakeDevice();
    if (s_.LinkErrorCount >= 3) {
        s_.LinkErrorCount = 0;
        return false;
    }
    s_.SendBuffer = link_.sync(ctl::STX) + letters + ctl::ETX;
    link_.SendCommand(s_.SendBuffer);
    if (s_.LinkErrorCount >= 3) {
        s_.LinkErrorCount = 0;
        return false;
    }
    return true;
}

void DeviceClock::mnuUhrlesen_Click() {
    ReadDeviceClock();
    module_.platform().screen.setPointer(Pointer::Arrow);
    module_.platform().text.setFocus();
}

void DeviceClock::ReadDeviceClock() {
    Platform& p = module_.platform();
    try {
        s_.LinkErrorCount = 0;
        s_.ReceiveBuffer.clear();
        if (!p.comm.portOpen()) {
            p.comm.setPortOpen(true);
        }
        p.screen.setPointer(Pointer::Hourglass);
        p.screen.setStatus("Status: Die Daten werden übertragen");
        if (!wakeAndSend("ru")) {
            return;
        }
        const char syn = static_cast<char>(s_.SyncCode);
        p.comm.output(link_.sync(ctl::EOT));
        link_.ReceiveCharacters(6);
        if (s_.ReceiveBuffer != std::string(5, syn) + ctl::ENQ || s_.LinkErrorCount >= 3) {
            ++s_.LinkErrorCount;
            if (s_.LinkErrorCount >= 3) {
                link_.ReportTransferError();
                return;
            }
        }
        p.comm.output(link_.sync(ctl::ACK));
        link_.ReceiveVerifiedBlock();
        if (s_.LinkErrorCount >= 3) {
            s_.LinkErrorCount = 0;
            return;
        }
        p.comm.setPortOpen(false);
        p.screen.setPointer(Pointer::Arrow);
        p.screen.setStatus("Status: ");
        v_.HexGroupWidth = 2;
        evaluation_.HexToDecimal(v_.BlockText);
        const std::string& d = v_.DecimalText;
        DeviceClockLine = "ORVA-DS \tUhr: " + midChars(d, 5, 2) + ":" + midChars(d, 3, 2) + ":" +
                          midChars(d, 1, 2) + "  Datum: " + midChars(d, 7, 2) + "." +
                          midChars(d, 9, 2) + "." + midChars(d, 11, 2);
        // Time and date are read one after the other, as two separate readings of the clock.
        const std::string pcTime = formatTime(p.clock.now());
        const std::string pcDate = formatDateTwoDigitYear(p.clock.now().date);
        v_.MessageText = v_.LineBreak + v_.LineBreak + "PC\t\tUhr: " + pcTime +
                         "  Datum: " + pcDate + v_.LineBreak;
        p.screen.messageBox(v_.LineBreak + DeviceClockLine + v_.MessageText, MsgButtons::OK,
                            MsgIcon::Information,
                            "Uhrzeit und Datum von ORVA-DS und vom PC-System");
        p.screen.setStatus("Status:");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

namespace {

// Hours 00-23 and minutes 00-59, two digits each around a third character that is not read.
bool isTypedTime(const std::string& t) {
    auto twoDigits = [&](std::size_t at, int max) {
        if (t[at] < '0' || t[at] > '9' || t[at + 1] < '0' || t[at + 1] > '9') {
            return false;
        }
        return (t[at] - '0') * 10 + (t[at + 1] - '0') <= max;
    };
    return t.size() == 5 && twoDigits(0, 23) && twoDigits(3, 59);
}

} // namespace

void DeviceClock::mnuUhrstellen_Click() {
    v_.InputCancelled = false;
    AskClockSource();
    if (s_.MsgBoxAnswer == answer::Cancel || v_.InputCancelled) {
        return;
    }
    SetDeviceClock();
    module_.platform().screen.setPointer(Pointer::Arrow);
    module_.platform().text.setFocus();
}

void DeviceClock::AskClockSource() {
    Platform& p = module_.platform();
    const std::string nl = "\r\n";
    v_.LineBreak = nl;
    p.screen.setStatus("Status: ");
    const DateTime now = p.clock.now();
    v_.MessageText = v_.LineBreak + "Das heutige Datum ist der \t" + formatShortDate(now.date) +
                     v_.LineBreak + v_.LineBreak + "Die aktuelle Uhrzeit ist\t" + formatTime(now) +
                     " Uhr" + v_.LineBreak + v_.LineBreak + v_.LineBreak +
                     "Wollen Sie dieses Datum übertragen?" + v_.LineBreak + v_.LineBreak +
                     "Bei -Nein- können Sie ein anderes Datum von Hand eingeben!";
    s_.MsgBoxAnswer = p.screen.messageBox(v_.MessageText, MsgButtons::YesNoCancel,
                                          MsgIcon::Question, "System-Datum und Uhrzeit");
    if (s_.MsgBoxAnswer != answer::No) {
        return;
    }

    v_.MessageText = "Geben Sie das heutige Datum ein.";
    for (int i = 0; i < 6; ++i) {
        v_.MessageText += nl;
    }
    v_.MessageText +=
        "Eingabeformat:\ttt.mm.jjjj (Jahr = 4-stellig!)" + nl + nl + "Beispiel:   02.11.1994";
    v_.InputTitle = "Datum-Handeingabe";
    std::optional<Date> date;
    do {
        v_.DateText = p.screen.inputBox(v_.MessageText, v_.InputTitle);
        date = parseGermanDate(v_.DateText, now.date.year);
    } while (!v_.DateText.empty() && !date);
    // A serial event served while the box was open may have asked to quit.
    if (s_.MsgBoxAnswer == answer::Cancel) {
        return;
    }
    if (v_.DateText.empty()) {
        v_.InputCancelled = true;
        return;
    }
    v_.DayText = zeroPadded(date->day, 2);
    v_.MonthText = zeroPadded(date->month, 2);
    v_.YearText = zeroPadded(date->year, 4);
    v_.DateText = v_.DayText + ":" + v_.MonthText + ":" + v_.YearText;
    YearTailText = v_.DateText.substr(7, 3) + ctl::ETX;
    v_.DateText =
        v_.DateText.substr(0, 2) + ":" + v_.DateText.substr(3, 2) + ":" + v_.DateText.substr(6, 1);

    v_.MessageText = "Geben Sie die Uhrzeit ein.";
    for (int i = 0; i < 6; ++i) {
        v_.MessageText += nl;
    }
    v_.MessageText += "Eingabeformat:\thh:mm\r\rBeispiel:\t14:35";
    v_.InputTitle = "Uhrzeit-Handeingabe";
    do {
        TimeText = p.screen.inputBox(v_.MessageText, v_.InputTitle);
        if (!TimeText.empty() && !isTypedTime(TimeText)) {
            TimeText = "Falsch";
        }
    } while (!TimeText.empty() && (TimeText.size() != 5 || TimeText == "Falsch"));
    if (TimeText.empty()) {
        v_.InputCancelled = true;
        return;
    }
    v_.DateText = "00:" + TimeText.substr(3, 2) + ":" + TimeText.substr(0, 2) + ":" + v_.DateText;
}

bool DeviceClock::sendBlockTwice(const std::string& block) {
    SerialControl& comm = module_.platform().comm;
    for (int copy = 0; copy < 2; ++copy) {
        do {
            s_.SendBuffer = block;
            comm.output(s_.SendBuffer);
            link_.ReceiveCharacters(2);
            if (s_.ReceiveBuffer != link_.sync(ctl::ACK) || s_.LinkErrorCount >= 3) {
                ++s_.LinkErrorCount;
                if (s_.LinkErrorCount >= 3) {
                    link_.ReportTransferError();
                    return false;
                }
            }
        } while (s_.ReceiveBuffer == link_.sync(ctl::NAK));
    }
    return true;
}

void DeviceClock::SetDeviceClock() {
    Platform& p = module_.platform();
    try {
        if (!p.comm.portOpen()) {
            p.comm.setPortOpen(true);
        }
        p.screen.setPointer(Pointer::Hourglass);
        p.screen.setStatus("Status: Die Daten werden übertragen");
        if (!wakeAndSend("wu")) {
            return;
        }
        p.comm.output(link_.sync(ctl::EOT));
        if (s_.MsgBoxAnswer == answer::Yes) {
            // The time sent is the time of this step, not the one shown in the question.
            const DateTime now = p.clock.now();
            NowText = formatShortDate(now.date) + " " + formatTime(now);
            SecondText = zeroPadded(now.second, 2);
            MinuteText = zeroPadded(now.minute, 2);
            HourText = zeroPadded(now.hour, 2);
            v_.DayText = zeroPadded(now.date.day, 2);
            v_.MonthText = zeroPadded(now.date.month, 2);
            v_.YearText = zeroPadded(now.date.year, 4);
            v_.DateText = SecondText + ":" + MinuteText + ":" + HourText + ":" + v_.DayText + ":" +
                          v_.MonthText + ":" + v_.YearText.substr(0, 1);
            YearTailText = v_.YearText.substr(1, 3) + ctl::ETX;
        }
        link_.WakeDevice();
        if (s_.LinkErrorCount >= 3) {
            s_.LinkErrorCount = 0;
            return;
        }
        if (!sendBlockTwice(link_.sync(ctl::STX) + v_.DateText + ctl::ETB)) {
            return;
        }
        if (!sendBlockTwice(link_.sync(ctl::STX) + YearTailText)) {
            return;
        }
        p.comm.output(link_.sync(ctl::EOT));
        // Give the last characters time to leave, and the device time to take the clock over.
        v_.StartTime = p.clock.timer();
        while (p.comm.outBufferCount() != 0 && link_.elapsed() <= 2.0) {
            p.clock.idle();
        }
        p.comm.setPortOpen(false);
        while (link_.elapsed() <= 3.0) {
            p.clock.idle();
        }
        p.screen.setPointer(Pointer::Arrow);
        p.screen.setStatus("Status:");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
