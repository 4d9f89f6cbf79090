#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orva {

// The text of the box for a serial line error; nothing for an event, which is only noted.
std::optional<std::string> CommErrorText(int commEvent);

// Control characters of the link; SYN, the sync character, begins every message.
namespace ctl {
inline constexpr char STX = 2, ETX = 3, EOT = 4, ENQ = 5, ACK = 6, NAK = 21, SYN = 22, ETB = 23;
} // namespace ctl

// How a link operation ended. `Failed`: a transfer error, the port closed (the command shows
// the transfer-error report); `DateNotHeld`: the device stayed silent after a from-date command;
// `Stopped`: the user stopped the bulk reception (nothing shown, the port still open).
enum class LinkOutcome { Ok, Failed, DateNotHeld, Stopped };

// The character-level protocol with the light barrier. Run-time errors of the serial control
// pass to the calling command's trap, except inside the bulk reception.
class DeviceLink {
public:
    // `trap` runs one step of the bulk reception, reporting what it throws.
    using Trap = std::function<bool(const std::function<void()>&)>;
    DeviceLink(Platform& platform, Trap trap);

    // The start of every device command: the port opened if closed (its input discarded on
    // request), the hourglass, the status line.
    void BeginCommand(bool discardInput);
    // SYN×5 ENQ until SYN ACK, three tries. Starts the failure count afresh.
    LinkOutcome WakeDevice();
    // SYN STX `letters` ETX, sent twice, or once more after a failed send. Starts the count
    // afresh.
    LinkOutcome SendCommand(const std::string& letters);
    // SYN STX `letters` ETX until two sends in a row are acknowledged; counts on.
    LinkOutcome SendCommandTwiceInARow(const std::string& letters);
    // A clock data block, sent twice, each again after a NAK; counts on.
    LinkOutcome SendBlockTwice(const std::string& block);
    // SYN EOT, then the device's own wake-up (a wrong one counts one failure), answered with
    // SYN ACK.
    LinkOutcome AnswerDeviceWakeUp();
    // SYN EOT, then the device's answer to a from-date command, answered with SYN ACK;
    // `DateNotHeld` when it stays silent.
    LinkOutcome AnswerDateWakeUp();
    // Up to `count` characters, waited for one second; a surplus stays buffered.
    std::string ReceiveCharacters(int count);
    // The clock block: characters 3-14 of the last block into `BlockText`.
    LinkOutcome ReceiveVerifiedBlock(std::string& BlockText);
    // The count data blocks: their contents appended to `CountText` as they are accepted.
    // The user may stop it; every wait then ends at once.
    LinkOutcome ReceiveBulkData(std::string& CountText);
    // Discards what the device still sends until the line has been quiet for a moment (half a
    // second at most), so that the next command does not read the rest of a stopped block.
    void DrainLine();

    // The sync character followed by `c`.
    static std::string sync(char c) { return {ctl::SYN, c}; }

    // Failures of the current exchange: 3 ends it as failed. Operations that do not
    // start it afresh count on from what the one before left.
    std::int16_t LinkErrorCount = 0;

private:
    enum class Answer { Ack, Nak, Other, Failed };
    struct BlockLimits;

    // The third failure: the port is closed and the exchange ends.
    void fail();
    // A wrong answer (or a stalled wait) counts one failure; the third fails the exchange.
    Answer judge(const std::string& got, const std::string& expected);
    Answer sendAndJudge(const std::string& text);
    LinkOutcome receiveBlocks(const BlockLimits& limits,
                              const std::function<void(const std::string&)>& accept);
    double elapsed() { return clock_.timer() - startTime_; }
    // True once the user stopped the bulk reception; asked at every turn of a wait.
    bool stopNow();
    void waitForBytes(int count, double limit);
    // Waits while bytes stay buffered, up to `limit` seconds; `inclusive`: at the limit too.
    void settle(double limit, bool inclusive);

    SerialControl& comm_;
    Screen& screen_;
    Clock& clock_;
    Trap trap_;
    double startTime_ = 0.0; // start of the current timed wait
    bool stoppable_ = false; // inside the bulk reception
    bool stopped_ = false;   // the user stopped it
};

} // namespace orva
