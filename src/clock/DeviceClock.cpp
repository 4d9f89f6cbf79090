#include "clock/DeviceClock.h"

#include "evaluation/Evaluation.h"
#include "platform/Text.h"

namespace orva {
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

// A prompt of the hand entry: its first line, six line breaks, then the format.
std::string entryPrompt(const std::string& first, const std::string& format) {
    std::string prompt = first;
    for (int i = 0; i < 6; ++i) {
        prompt += "\r\n";
    }
    return prompt + "Eingabeformat:\t" + format;
}

} // namespace

void DeviceClock::mnuUhrlesen_Click() {
    ReadDeviceClock();
    module_.platform().screen.setPointer(Pointer::Arrow);
    module_.platform().text.setFocus();
}

void DeviceClock::ReadDeviceClock() {
    Platform& p = module_.platform();
    try {
        link_.BeginCommand(false);
        std::string block;
        if (link_.WakeDevice() != LinkOutcome::Ok || link_.SendCommand("ru") != LinkOutcome::Ok ||
            link_.AnswerDeviceWakeUp() != LinkOutcome::Ok ||
            link_.ReceiveVerifiedBlock(block) != LinkOutcome::Ok) {
            module_.ReportTransferError();
            return;
        }
        p.comm.setPortOpen(false);
        p.screen.setPointer(Pointer::Arrow);
        p.screen.setStatus("Status: ");
        const Conversion c = HexToDecimal(block, 2);
        if (c.error != 0) {
            module_.ReportRunTimeError(RunTimeError(c.error));
        }
        const std::string& d = c.DecimalText;
        const std::string DeviceClockLine = "ORVA-DS \tUhr: " + midChars(d, 5, 2) + ":" +
                                            midChars(d, 3, 2) + ":" + midChars(d, 1, 2) +
                                            "  Datum: " + midChars(d, 7, 2) + "." +
                                            midChars(d, 9, 2) + "." + midChars(d, 11, 2);
        // Time and date are read one after the other, as two separate readings of the clock.
        const std::string pcTime = formatTime(p.clock.now());
        const std::string pcDate = formatDateTwoDigitYear(p.clock.now().date);
        p.screen.messageBox("\n" + DeviceClockLine + "\n\nPC\t\tUhr: " + pcTime +
                                "  Datum: " + pcDate + "\n",
                            MsgButtons::OK, MsgIcon::Information,
                            "Uhrzeit und Datum von ORVA-DS und vom PC-System");
        p.screen.setStatus("Status:");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

void DeviceClock::mnuUhrstellen_Click() {
    const std::optional<ClockSetting> setting = AskClockSource();
    if (!setting) {
        return;
    }
    SetDeviceClock(*setting);
    module_.platform().screen.setPointer(Pointer::Arrow);
    module_.platform().text.setFocus();
}

std::optional<DeviceClock::ClockSetting> DeviceClock::AskClockSource() {
    Platform& p = module_.platform();
    const std::string nl = "\r\n";
    p.screen.setStatus("Status: ");
    const DateTime now = p.clock.now();
    s_.MsgBoxAnswer =
        p.screen.messageBox(nl + "Das heutige Datum ist der \t" + formatShortDate(now.date) + nl +
                                nl + "Die aktuelle Uhrzeit ist\t" + formatTime(now) + " Uhr" + nl +
                                nl + nl + "Wollen Sie dieses Datum übertragen?" + nl + nl +
                                "Bei -Nein- können Sie ein anderes Datum von Hand eingeben!",
                            MsgButtons::YesNoCancel, MsgIcon::Question, "System-Datum und Uhrzeit");
    if (s_.MsgBoxAnswer != answer::No) {
        return s_.MsgBoxAnswer == answer::Yes ? std::optional(ClockSetting{true, "", ""})
                                              : std::nullopt;
    }
    const std::optional<Date> date = module_.AskDate(
        entryPrompt("Geben Sie das heutige Datum ein.", "tt.mm.jjjj (Jahr = 4-stellig!)") + nl +
            nl + "Beispiel:   02.11.1994",
        "Datum-Handeingabe", now.date.year);
    // A serial event box served while the input box was open may have asked to quit.
    if (s_.MsgBoxAnswer == answer::Cancel || !date) {
        return std::nullopt;
    }
    std::string TimeText;
    do {
        TimeText = p.screen.inputBox(
            entryPrompt("Geben Sie die Uhrzeit ein.", "hh:mm\r\rBeispiel:\t14:35"),
            "Uhrzeit-Handeingabe");
    } while (!TimeText.empty() && !isTypedTime(TimeText));
    if (TimeText.empty() || s_.MsgBoxAnswer == answer::Cancel) {
        return std::nullopt;
    }
    const std::string year = zeroPadded(date->year, 4);
    // The seconds of a typed time are 00.
    return ClockSetting{false,
                        "00:" + TimeText.substr(3, 2) + ":" + TimeText.substr(0, 2) + ":" +
                            zeroPadded(date->day, 2) + ":" + zeroPadded(date->month, 2) + ":" +
                            year.substr(0, 1),
                        year.substr(1, 3) + ctl::ETX};
}

void DeviceClock::SetDeviceClock(const ClockSetting& setting) {
    Platform& p = module_.platform();
    try {
        link_.BeginCommand(false);
        if (link_.WakeDevice() != LinkOutcome::Ok || link_.SendCommand("wu") != LinkOutcome::Ok) {
            module_.ReportTransferError();
            return;
        }
        p.comm.output(DeviceLink::sync(ctl::EOT));
        ClockSetting sent = setting;
        if (setting.fromPc) {
            // The time sent is the time of this step, not the one shown in the question.
            const DateTime now = p.clock.now();
            const std::string year = zeroPadded(now.date.year, 4);
            sent.DateText = zeroPadded(now.second, 2) + ":" + zeroPadded(now.minute, 2) + ":" +
                            zeroPadded(now.hour, 2) + ":" + zeroPadded(now.date.day, 2) + ":" +
                            zeroPadded(now.date.month, 2) + ":" + year.substr(0, 1);
            sent.YearTailText = year.substr(1, 3) + ctl::ETX;
        }
        // Failures of the data blocks count on from those of the second wake-up.
        if (link_.WakeDevice() != LinkOutcome::Ok ||
            link_.SendBlockTwice(DeviceLink::sync(ctl::STX) + sent.DateText + ctl::ETB) !=
                LinkOutcome::Ok ||
            link_.SendBlockTwice(DeviceLink::sync(ctl::STX) + sent.YearTailText) !=
                LinkOutcome::Ok) {
            module_.ReportTransferError();
            return;
        }
        p.comm.output(DeviceLink::sync(ctl::EOT));
        // Give the last characters time to leave, and the device time to take the clock over.
        const double start = p.clock.timer();
        while (p.comm.outBufferCount() != 0 && p.clock.timer() - start <= 2.0) {
            p.clock.idle();
        }
        p.comm.setPortOpen(false);
        while (p.clock.timer() - start <= 3.0) {
            p.clock.idle();
        }
        p.screen.setPointer(Pointer::Arrow);
        p.screen.setStatus("Status:");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
