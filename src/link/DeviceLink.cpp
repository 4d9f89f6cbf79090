#include "link/DeviceLink.h"

#include "platform/Text.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

namespace orva {
namespace {

constexpr double kAnswerLimit = 1.0;     // an acknowledge or the device's wake-up
constexpr double kStallLimit = 2.0;      // an answer wait that ends this late stalled
constexpr double kDateAnswerLimit = 4.0; // the answer to a from-date command
constexpr double kClosingLimit = 2.0;    // the two characters after the last block
constexpr int kBlockSize = 35;

const std::string kDeviceWake = std::string(5, ctl::SYN) + ctl::ENQ;

constexpr double kProgressEvery = 0.25; // seconds between two progress notes

// Days in the count text so far: day separators at every third byte up to the end marker, as
// the evaluation finds them.
int daysIn(std::string_view countText) {
    constexpr std::string_view separator = "000000000000";
    constexpr std::string_view endMarker = "000000000000000000";
    int days = 0;
    for (std::size_t pos = 0; pos < countText.size(); pos += 6) {
        const std::string_view rest = countText.substr(pos);
        if (rest.starts_with(endMarker)) {
            break; // its own last twelve zeros look like one more separator
        }
        days += rest.starts_with(separator) ? 1 : 0;
    }
    return days;
}

// "12 Tage, 3,4 kB, 1:05": days, stored bytes received and the time since the start.
std::string progressNote(std::string_view countText, double seconds) {
    const int days = daysIn(countText);
    const auto tenthsKb = static_cast<long>(countText.size() / 2 * 10 / 1024);
    const auto s = static_cast<long>(seconds);
    char note[64];
    std::snprintf(note, sizeof note, "%d %s, %ld,%ld kB, %ld:%02ld", days,
                  days == 1 ? "Tag" : "Tage", tenthsKb / 10, tenthsKb % 10, s / 60, s % 60);
    return note;
}

} // namespace

// What differs between the clock block and the count data blocks.
struct DeviceLink::BlockLimits {
    double pair;         // both copies of a block within this many seconds of the attempt
    double repeatSettle; // how long the repeat copy may settle
    bool trapEachStep;   // a run-time error is reported and the reception goes on
    bool countPerBlock;  // the failure count starts afresh with each accepted block
};

DeviceLink::DeviceLink(Platform& platform, Trap trap)
    : comm_(platform.comm), screen_(platform.screen), clock_(platform.clock),
      trap_(std::move(trap)) {}

bool DeviceLink::stopNow() {
    stopped_ = stoppable_ && (stopped_ || screen_.stopRequested());
    return stopped_;
}

void DeviceLink::waitForBytes(int count, double limit) {
    while (comm_.inBufferCount() < count) {
        const double t = elapsed();
        if (t >= limit || stopNow()) {
            break;
        }
        comm_.waitForInput(count, limit - t);
    }
}

void DeviceLink::settle(double limit, bool inclusive) {
    while (const int n = comm_.inBufferCount()) {
        const double t = elapsed();
        if ((inclusive ? t > limit : t >= limit) || stopNow()) {
            break;
        }
        // Only more bytes or the limit can change the outcome.
        comm_.waitForInput(n + 1, limit - t);
    }
}

void DeviceLink::BeginCommand(bool discardInput) {
    if (!comm_.portOpen()) {
        comm_.setPortOpen(true);
    }
    if (discardInput) {
        comm_.clearInBuffer();
    }
    screen_.setPointer(Pointer::Hourglass);
    screen_.setStatus("Status: Die Daten werden übertragen");
}

std::string DeviceLink::ReceiveCharacters(int count) {
    comm_.setInputLen(count);
    startTime_ = clock_.timer();
    waitForBytes(count, kAnswerLimit);
    // Only a stalled machine gets here two seconds late; callers then stop at once.
    if (elapsed() >= kStallLimit) {
        LinkErrorCount = 3;
    }
    std::string got = comm_.input();
    settle(kAnswerLimit, false);
    return got;
}

DeviceLink::Answer DeviceLink::judge(const std::string& got, const std::string& expected) {
    if (got == expected && LinkErrorCount < 3) {
        return Answer::Ack;
    }
    ++LinkErrorCount;
    if (LinkErrorCount >= 3) {
        fail();
        return Answer::Failed;
    }
    return got == sync(ctl::NAK) ? Answer::Nak : Answer::Other;
}

DeviceLink::Answer DeviceLink::sendAndJudge(const std::string& text) {
    comm_.output(text);
    return judge(ReceiveCharacters(2), sync(ctl::ACK));
}

LinkOutcome DeviceLink::WakeDevice() {
    LinkErrorCount = 0;
    Answer a = Answer::Other;
    while (a == Answer::Other || a == Answer::Nak) {
        a = sendAndJudge(kDeviceWake);
    }
    return a == Answer::Ack ? LinkOutcome::Ok : LinkOutcome::Failed;
}

LinkOutcome DeviceLink::SendCommand(const std::string& letters) {
    LinkErrorCount = 0;
    const std::string command = sync(ctl::STX) + letters + ctl::ETX;
    for (int sends = 1; sends <= 2; ++sends) {
        const Answer a = sendAndJudge(command);
        if (a == Answer::Failed) {
            return LinkOutcome::Failed;
        }
        sends = a == Answer::Ack ? sends : 1;
    }
    return LinkOutcome::Ok;
}

LinkOutcome DeviceLink::SendCommandTwiceInARow(const std::string& letters) {
    const std::string command = sync(ctl::STX) + letters + ctl::ETX;
    for (int inARow = 0; inARow < 2;) {
        const Answer a = sendAndJudge(command);
        if (a == Answer::Failed) {
            return LinkOutcome::Failed;
        }
        inARow = a == Answer::Ack ? inARow + 1 : 0;
    }
    return LinkOutcome::Ok;
}

LinkOutcome DeviceLink::SendBlockTwice(const std::string& block) {
    for (int copy = 0; copy < 2; ++copy) {
        Answer a = Answer::Nak;
        while (a == Answer::Nak) {
            a = sendAndJudge(block); // any other wrong answer counts, and the copy as sent
        }
        if (a == Answer::Failed) {
            return LinkOutcome::Failed;
        }
    }
    return LinkOutcome::Ok;
}

LinkOutcome DeviceLink::AnswerDeviceWakeUp() {
    comm_.output(sync(ctl::EOT));
    if (judge(ReceiveCharacters(6), kDeviceWake) == Answer::Failed) {
        return LinkOutcome::Failed;
    }
    comm_.output(sync(ctl::ACK));
    return LinkOutcome::Ok;
}

LinkOutcome DeviceLink::AnswerDateWakeUp() {
    comm_.output(sync(ctl::EOT));
    comm_.setInputLen(6);
    startTime_ = clock_.timer();
    waitForBytes(comm_.inputLen(), kDateAnswerLimit);
    const bool silent = elapsed() >= kDateAnswerLimit;
    comm_.input(); // only the silence counts, not what came
    settle(kDateAnswerLimit, true);
    if (silent) {
        return LinkOutcome::DateNotHeld;
    }
    comm_.output(sync(ctl::ACK));
    return LinkOutcome::Ok;
}

// Each block comes twice: the first copy, the PC's ACK, the repeat. A bad header or differing
// copies get a NAK and the block again; a pair not complete within the limit ends the
// reception at once. The last block has ETX as its 35th character.
LinkOutcome DeviceLink::receiveBlocks(const BlockLimits& limits,
                                      const std::function<void(const std::string&)>& accept) {
    auto step = [&](const std::function<void()>& work) {
        if (limits.trapEachStep) {
            trap_(work);
        } else {
            work();
        }
    };
    // The copy, or nothing when the pair's time ran out (judged by the time alone: a block
    // complete just as it passes fails), which fails the exchange.
    auto copy = [&](double settleLimit) -> std::optional<std::string> {
        std::string text;
        step([&] { waitForBytes(kBlockSize, limits.pair); });
        if (stopped_) {
            return std::nullopt;
        }
        if (elapsed() >= limits.pair) {
            LinkErrorCount = 3;
            fail();
            return std::nullopt;
        }
        step([&] { text = comm_.input(); });
        step([&] { settle(settleLimit, true); });
        return text;
    };
    // True when the copy is to be asked for again, or the reception has failed.
    auto rejected = [&](const std::string& text) {
        if (text.compare(0, 2, sync(ctl::STX)) == 0 && LinkErrorCount < 3) {
            return false;
        }
        if (++LinkErrorCount >= 3) {
            fail();
        } else {
            step([&] { comm_.output(sync(ctl::NAK)); });
        }
        return true;
    };
    step([&] { comm_.setInputLen(kBlockSize); });
    LinkErrorCount = 0;
    for (;;) {
        startTime_ = clock_.timer();
        const auto first = copy(limits.pair);
        if (stopped_) {
            return LinkOutcome::Stopped;
        }
        if (!first || rejected(*first)) {
            if (!first || LinkErrorCount >= 3) {
                return LinkOutcome::Failed;
            }
            continue;
        }
        step([&] { comm_.output(sync(ctl::ACK)); });
        const auto repeat = copy(limits.repeatSettle);
        if (stopped_) {
            return LinkOutcome::Stopped;
        }
        if (!repeat || rejected(*repeat)) {
            if (!repeat || LinkErrorCount >= 3) {
                return LinkOutcome::Failed;
            }
            continue;
        }
        if (*repeat != *first) {
            step([&] { comm_.output(sync(ctl::NAK)); });
            ++LinkErrorCount; // a third failure this way fails at the next header check
            continue;
        }
        step([&] { comm_.output(sync(ctl::ACK)); });
        accept(*repeat);
        LinkErrorCount = limits.countPerBlock ? 0 : LinkErrorCount;
        if (repeat->size() >= kBlockSize && (*repeat)[kBlockSize - 1] == ctl::ETX) {
            break;
        }
    }
    // The closing characters are taken without a look.
    step([&] { comm_.setInputLen(2); });
    step([&] { waitForBytes(2, kClosingLimit); });
    step([&] { comm_.clearInBuffer(); });
    return LinkOutcome::Ok;
}

LinkOutcome DeviceLink::ReceiveVerifiedBlock(std::string& BlockText) {
    static constexpr BlockLimits kClockBlock{2.0, 2.0, false, false};
    return receiveBlocks(kClockBlock,
                         [&](const std::string& block) { BlockText = block.substr(2, 12); });
}

LinkOutcome DeviceLink::ReceiveBulkData(std::string& CountText) {
    static constexpr BlockLimits kDataBlock{3.0, 2.0, true, true};
    CountText.clear();
    // The clock is read only where the waits read it anyway, so the timing stays as it was.
    const double begun = startTime_; // the wait for the device's wake-up, just before
    double noted = begun - kProgressEvery;
    stoppable_ = true;
    stopped_ = false;
    const LinkOutcome outcome = receiveBlocks(kDataBlock, [&](const std::string& block) {
        screen_.setStatus("Status: Die Daten werden übertragen: " + printableOnly(block));
        CountText.append(block, 2, 32);
        if (startTime_ - noted >= kProgressEvery) {
            noted = startTime_;
            screen_.setProgress(progressNote(CountText, startTime_ - begun));
        }
    });
    stoppable_ = false;
    stopped_ = false;
    screen_.setProgress({});
    return outcome;
}

void DeviceLink::DrainLine() {
    constexpr double kQuiet = 0.1;
    constexpr double kLongest = 0.5;
    const double begun = clock_.timer();
    double quietSince = begun;
    for (double t = begun; t - quietSince < kQuiet && t - begun < kLongest; t = clock_.timer()) {
        if (comm_.inBufferCount() > 0) {
            comm_.clearInBuffer();
            quietSince = t;
        }
        comm_.waitForInput(1, kQuiet);
    }
}

void DeviceLink::fail() {
    if (comm_.portOpen()) {
        comm_.setPortOpen(false);
    }
}

std::optional<std::string> CommErrorText(int commEvent) {
    switch (commEvent) {
    // Events and the errors that the program only notes: no box.
    case comm::EvSend:
    case comm::EvReceive:
    case comm::EvCTS:
    case comm::EvDSR:
    case comm::EvCD:
    case comm::EvRing:
    case comm::EvEOF:
    case comm::EvBreak:
    case comm::ErFrame:
    case comm::ErRxParity:
        return std::nullopt;
    case comm::ErCTSTO:
        return "CTS Timeout";
    case comm::ErDSRTO:
        return "DSR Timeout";
    case comm::ErOverrun:
        return "Overrun Error";
    case comm::ErCDTO:
        return "Carrier Detect Timeout";
    case comm::ErRxOver:
        return "Receive Buffer Overflow";
    case comm::ErTxFull:
        return "Transmit Buffer Full";
    default:
        return "Unknown error or event";
    }
}

} // namespace orva
