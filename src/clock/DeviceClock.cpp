#include "clock/DeviceClock.h"

#include "platform/Text.h"

namespace orva {

DeviceClock::DeviceClock(ORVA_DS& state, EditorVariables& vars, OrvaModule& module,
                         DeviceLink& link, Evaluation& evaluation)
    : s_(state), v_(vars), module_(module), link_(link), evaluation_(evaluation) {}

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
        link_.WakeDevice();
        if (s_.LinkErrorCount >= 3) {
            s_.LinkErrorCount = 0;
            return;
        }
        const char syn = static_cast<char>(s_.SyncCode);
        s_.SendBuffer = link_.sync(ctl::STX) + "ru" + ctl::ETX;
        link_.SendCommand(s_.SendBuffer);
        if (s_.LinkErrorCount >= 3) {
            s_.LinkErrorCount = 0;
            return;
        }
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
                            MsgIcon::Information, "Uhrzeit und Datum von ORVA-DS und vom PC-System");
        p.screen.setStatus("Status:");
    } catch (const RunTimeError& e) {
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
