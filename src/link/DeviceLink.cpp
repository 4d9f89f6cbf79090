#include "link/DeviceLink.h"

#include "platform/Text.h"

#include <functional>

namespace orva {
namespace {

constexpr double kAnswerLimit = 1.0;
constexpr double kBlockLimit = 2.0;
constexpr double kDataBlockLimit = 3.0;

} // namespace

DeviceLink::DeviceLink(ORVA_DS& state, EditorVariables& vars, OrvaModule& module)
    : s_(state), v_(vars), module_(module), comm_(module.platform().comm) {}

std::string DeviceLink::sync(char c) const {
    return {static_cast<char>(s_.SyncCode), c};
}

double DeviceLink::elapsed() {
    return module_.platform().clock.timer() - v_.StartTime;
}

void DeviceLink::waitForBytes(int count, double limit) {
    while (comm_.inBufferCount() < count && elapsed() < limit) {
    }
}

void DeviceLink::settle(double limit, bool inclusive) {
    while (comm_.inBufferCount() > 0) {
        const double t = elapsed();
        if (inclusive ? t > limit : t >= limit) {
            break;
        }
    }
}

void DeviceLink::ReceiveCharacters(int count) {
    comm_.setInputLen(count);
    v_.StartTime = module_.platform().clock.timer();
    waitForBytes(count, kAnswerLimit);
    // Only a stalled machine gets here two seconds late; callers then stop at once.
    if (elapsed() >= kBlockLimit) {
        s_.LinkErrorCount = 3;
    }
    s_.ReceiveBuffer = comm_.input();
    settle(kAnswerLimit, false);
}

void DeviceLink::WakeDevice() {
    s_.LinkErrorCount = 0;
    const char syn = static_cast<char>(s_.SyncCode);
    for (;;) {
        s_.SendBuffer = std::string(5, syn) + ctl::ENQ;
        comm_.output(s_.SendBuffer);
        ReceiveCharacters(2);
        if (s_.ReceiveBuffer == sync(ctl::ACK) && s_.LinkErrorCount < 3) {
            return;
        }
        ++s_.LinkErrorCount;
        if (s_.LinkErrorCount >= 3) {
            ReportTransferError();
            return;
        }
    }
}

void DeviceLink::SendCommand(const std::string& command) {
    s_.LinkErrorCount = 0;
    int sends = 1;
    while (sends <= 2) {
        comm_.output(command);
        ReceiveCharacters(2);
        if (s_.ReceiveBuffer != sync(ctl::ACK) || s_.LinkErrorCount >= 3) {
            ++s_.LinkErrorCount;
            if (s_.LinkErrorCount >= 3) {
                ReportTransferError();
                return;
            }
            sends = 1;
        }
        ++sends;
    }
}

void DeviceLink::ReceiveVerifiedBlock() {
    s_.LinkErrorCount = 0;
    comm_.setInputLen(35);
    const std::string header = sync(ctl::STX);
    // A failed header counts; the third failure reports, the others ask for the block again.
    auto headerFailed = [&](const std::string& copy) {
        if (copy.compare(0, 2, header) == 0 && s_.LinkErrorCount < 3) {
            return false;
        }
        ++s_.LinkErrorCount;
        if (s_.LinkErrorCount >= 3) {
            ReportTransferError();
        } else {
            comm_.output(sync(ctl::NAK));
        }
        return true;
    };
    for (;;) {
        v_.StartTime = module_.platform().clock.timer();
        v_.BlockText.clear();
        waitForBytes(35, kBlockLimit);
        if (elapsed() >= kBlockLimit) {
            s_.LinkErrorCount = 3;
            ReportTransferError();
            return;
        }
        v_.BlockText = comm_.input();
        settle(kBlockLimit, true);
        if (headerFailed(v_.BlockText)) {
            if (s_.LinkErrorCount >= 3) {
                return;
            }
            continue;
        }
        comm_.output(sync(ctl::ACK));
        RepeatText.clear();
        waitForBytes(35, kBlockLimit);
        if (elapsed() >= kBlockLimit) {
            s_.LinkErrorCount = 3;
            ReportTransferError();
            return;
        }
        RepeatText = comm_.input();
        settle(kBlockLimit, true);
        if (headerFailed(RepeatText)) {
            if (s_.LinkErrorCount >= 3) {
                return;
            }
            continue;
        }
        if (RepeatText != v_.BlockText) {
            comm_.output(sync(ctl::NAK));
            ++s_.LinkErrorCount;
            continue;
        }
        comm_.output(sync(ctl::ACK));
        v_.BlockText = RepeatText.substr(2, 12);
        if (RepeatText.size() >= 35 && RepeatText[34] == ctl::ETX) {
            comm_.setInputLen(2);
            waitForBytes(2, kBlockLimit);
            comm_.clearInBuffer();
            return;
        }
    }
}

void DeviceLink::ReceiveBulkData() {
    Platform& p = module_.platform();
    // A run-time error inside the reception is reported and the reception goes on with the
    // next step.
    auto step = [this](const std::function<void()>& work) { module_.runStep(work); };
    const std::string header = sync(ctl::STX);
    // True when the copy is to be asked for again; the third failure has been reported then.
    auto headerFailed = [&](const std::string& copy, bool& reported) {
        if (copy.compare(0, 2, header) == 0 && s_.LinkErrorCount < 3) {
            return false;
        }
        ++s_.LinkErrorCount;
        if (s_.LinkErrorCount >= 3) {
            ReportTransferError();
            reported = true;
        } else {
            step([&] { comm_.output(sync(ctl::NAK)); });
        }
        return true;
    };
    s_.CountText.clear();
    step([&] { comm_.setInputLen(35); });
    s_.LinkErrorCount = 0;
    for (;;) {
        v_.StartTime = p.clock.timer();
        FirstCopy.clear();
        step([&] { waitForBytes(35, kDataBlockLimit); });
        // The limit is judged by the time alone: a block complete just as it passes fails.
        if (elapsed() >= kDataBlockLimit) {
            s_.LinkErrorCount = 3;
            ReportTransferError();
            return;
        }
        step([&] { FirstCopy = comm_.input(); });
        step([&] { settle(kDataBlockLimit, true); });
        bool reported = false;
        if (headerFailed(FirstCopy, reported)) {
            if (reported) {
                return;
            }
            continue;
        }
        step([&] { comm_.output(sync(ctl::ACK)); });
        RepeatCopy.clear();
        step([&] { waitForBytes(35, kDataBlockLimit); });
        if (elapsed() >= kDataBlockLimit) {
            s_.LinkErrorCount = 3;
            ReportTransferError();
            return;
        }
        step([&] { RepeatCopy = comm_.input(); });
        step([&] { settle(kBlockLimit, true); });
        if (headerFailed(RepeatCopy, reported)) {
            if (reported) {
                return;
            }
            continue;
        }
        if (RepeatCopy != FirstCopy) {
            step([&] { comm_.output(sync(ctl::NAK)); });
            ++s_.LinkErrorCount;
            continue;
        }
        s_.SendBuffer = sync(ctl::ACK);
        step([&] { comm_.output(s_.SendBuffer); });
        p.screen.setStatus("Status: Die Daten werden übertragen: " + printableOnly(RepeatCopy));
        s_.LinkErrorCount = 0;
        s_.CountText.append(RepeatCopy, 2, 32);
        if (RepeatCopy.size() >= 35 && RepeatCopy[34] == ctl::ETX) {
            break;
        }
        s_.LinkErrorCount = 0;
    }
    step([&] { comm_.setInputLen(2); });
    step([&] { waitForBytes(2, kBlockLimit); });
    step([&] { s_.ReceiveBuffer = comm_.input(); });
    step([&] { comm_.clearInBuffer(); });
    s_.LinkErrorCount = 0;
}

void DeviceLink::ReportTransferError() {
    Screen& screen = module_.platform().screen;
    v_.LineBreak = "\n";
    screen.setPointer(Pointer::Arrow);
    screen.setStatus("Status: Fehler");
    v_.MessageText = "Übertragungsfehler!" + v_.LineBreak + v_.LineBreak +
                     "Bitte prüfen Sie die Kabelverbindungen" + v_.LineBreak + v_.LineBreak +
                     "und die Spannungsversorgung.";
    screen.messageBox(v_.MessageText, MsgButtons::OK, MsgIcon::None);
    screen.setStatus("Status: ");
    if (comm_.portOpen()) {
        comm_.setPortOpen(false);
    }
}

void DeviceLink::MSComm1_OnComm(int commEvent) {
    switch (commEvent) {
    case comm::EvSend:
        eventSlot_ = "Senden!!!!";
        break;
    case comm::EvReceive:
        eventSlot_ = "Empfangen!!!!";
        break;
    case comm::EvCTS:
        eventSlot_ = "Change in CTS Detected";
        break;
    case comm::EvDSR:
        eventSlot_ = "Change in DSR Detected";
        break;
    case comm::EvCD:
        eventSlot_ = "Change in CD Detected";
        break;
    case comm::EvRing:
        eventSlot_ = "The Phone is Ringing";
        break;
    case comm::EvEOF:
        eventSlot_ = "End of File Detected";
        break;
    case comm::EvBreak:
        eventSlot_ = "Break Received";
        break;
    case comm::ErCTSTO:
        errorSlot_ = "CTS Timeout";
        break;
    case comm::ErDSRTO:
        errorSlot_ = "DSR Timeout";
        break;
    case comm::ErFrame:
        eventSlot_ = "Framing Error";
        break;
    case comm::ErOverrun:
        errorSlot_ = "Overrun Error";
        break;
    case comm::ErCDTO:
        errorSlot_ = "Carrier Detect Timeout";
        break;
    case comm::ErRxOver:
        errorSlot_ = "Receive Buffer Overflow";
        break;
    case comm::ErRxParity:
        eventSlot_ = "Parity Error";
        break;
    case comm::ErTxFull:
        errorSlot_ = "Transmit Buffer Full";
        break;
    default:
        errorSlot_ = "Unknown error or event";
        break;
    }
    if (!eventSlot_.empty()) {
        eventSlot_.clear();
        return;
    }
    if (errorSlot_.empty()) {
        return;
    }
    Screen& screen = module_.platform().screen;
    screen.beep();
    s_.MsgBoxAnswer = screen.messageBox(errorSlot_, MsgButtons::OKCancel, MsgIcon::None,
                                        "Press Cancel to Quit, Ok to ignore.");
    errorSlot_.clear();
    if (s_.MsgBoxAnswer == answer::Cancel && comm_.portOpen()) {
        comm_.setPortOpen(false);
    }
}

} // namespace orva
