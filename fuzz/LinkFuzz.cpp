// Any device behaviour against one link operation, on the virtual clock: the operation must
// end within its time limits, either with its result or failed with the port closed and
// nothing shown, and must say nothing on the wire it should not.
//
// Input: byte 0 picks the operation (WakeDevice, SendCommand, ReceiveCharacters(2),
// ReceiveCharacters(6), ReceiveVerifiedBlock, ReceiveBulkData), byte 1 the clock's step per
// reading. The rest is a list of chunks, each a control byte, a length byte and that many
// bytes for the device to send. Control bit 7 clear: the chunk arrives (control & 127) x 25 ms
// after the previous such chunk (the first counted from the start). Bit 7 set: the n-th such
// chunk answers the program's n-th send, (control & 127) x 25 ms after it.

#include "fakes/FakePlatform.h"
#include "link/DeviceLink.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

namespace ctl = orva::ctl;

constexpr double kDelayUnit = 0.025;
constexpr std::array<double, 8> kSteps = {0.001, 0.002, 0.005, 0.01, 0.05, 0.25, 0.5, 1.0};
constexpr std::size_t kBlockSize = 35;
const std::string kBulkStatus = "Status: Die Daten werden übertragen: ";

enum class Op { Wake, Send, Receive2, Receive6, VerifiedBlock, Bulk };

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "link property violated: %s\n", what);
        std::abort();
    }
}

struct Sent {
    std::string bytes;
    double time;
};

struct Reply {
    double delay;
    std::string bytes;
};

// The device: chunks due at fixed times, and chunks that answer the program's sends.
struct Script {
    std::multimap<double, std::string> due; // by offset from the start
    std::deque<Reply> replies;
    std::size_t bytes = 0;
};

Script parse(const std::uint8_t* data, std::size_t size) {
    Script script;
    double offset = 0.0;
    std::size_t pos = 0;
    while (pos + 1 < size) {
        const std::uint8_t control = data[pos];
        const std::size_t len = std::min<std::size_t>(data[pos + 1], size - pos - 2);
        std::string bytes(reinterpret_cast<const char*>(data + pos + 2), len);
        pos += 2 + len;
        script.bytes += len;
        const double delay = (control & 0x7F) * kDelayUnit;
        if ((control & 0x80) != 0) {
            script.replies.push_back({delay, std::move(bytes)});
        } else {
            offset += delay;
            script.due.emplace(offset, std::move(bytes));
        }
    }
    return script;
}

// Sync character + ACK outputs come in pairs for a block: the first after a good first copy,
// the second when the block is accepted. NAK asks for the block again. An attempt starts at
// once after the output that ended the one before, and both copies must be in within the
// limit, so no output comes later than that after the attempt's start.
struct BlockOutputs {
    int accepted = 0;
    int naks = 0;
    int nakRun = 0;    // NAKs since the last accepted block
    int maxNakRun = 0; // longest run of NAKs without an accepted block between them
    bool awaitingRepeat = false;
    double attemptStart = 0.0; // when the last attempt began, as the outputs tell
};

BlockOutputs readBlockOutputs(const std::vector<Sent>& outputs, const std::string& ack,
                              const std::string& nak, double start, double limit) {
    BlockOutputs r;
    double& attemptStart = r.attemptStart;
    attemptStart = start;
    for (const auto& [o, time] : outputs) {
        require(time - attemptStart <= limit, "both copies within the limit of the attempt");
        require(o == ack || o == nak, "block reception sends only ACK or NAK");
        if (o == ack) {
            if (r.awaitingRepeat) {
                ++r.accepted;
                r.nakRun = 0;
                attemptStart = time;
            }
            r.awaitingRepeat = !r.awaitingRepeat;
        } else {
            attemptStart = time;
            ++r.naks;
            ++r.nakRun;
            r.maxNakRun = std::max(r.maxNakRun, r.nakRun);
            r.awaitingRepeat = false;
        }
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const Op op = static_cast<Op>(data[0] % 6);
    const double step = kSteps[data[1] % kSteps.size()];
    Script script = parse(data + 2, size - 2);

    orva::test::FakePlatform fake;
    orva::DeviceLink link{fake.platform, [](const std::function<void()>& step) {
                              step();
                              return true;
                          }};
    fake.comm.open = true;
    fake.comm.len = 1;
    fake.clock.step = step;

    const std::string syn(1, ctl::SYN);
    const std::string ack = syn + ctl::ACK;
    const std::string nak = syn + ctl::NAK;
    const std::string wake = std::string(5, ctl::SYN) + ctl::ENQ;
    const std::string command = syn + ctl::STX + "rt" + ctl::ETX;
    std::string received; // what the operation took or delivered

    // The limit of one wait, and how many waits the operation may start at most. Every block
    // attempt but the last takes a whole block from the line, so the script's length bounds
    // the attempts of the block receptions.
    double limit = 1.0;
    std::size_t attempts = 1;
    switch (op) {
    case Op::Wake:
        attempts = 3;
        break;
    case Op::Send:
        attempts = 4; // one acknowledged send, then three failures
        break;
    case Op::Receive2:
    case Op::Receive6:
        break;
    case Op::VerifiedBlock:
        limit = 2.0;
        attempts = script.bytes / kBlockSize + 1;
        break;
    case Op::Bulk:
        limit = 3.0;
        attempts = script.bytes / kBlockSize + 1;
        break;
    }
    // A wait notices its limit one clock reading late at most, and a few more readings follow
    // before the next wait starts.
    const double slack = 6 * step + 1e-6;
    const double start = fake.clock.seconds;
    const double bound = static_cast<double>(attempts) * (limit + slack);
    // No output comes before the start of the wait it ends, and every wait starts on an output
    // or with the operation.
    double lastOutput = start;

    std::string fed; // everything the device put on the line, in order
    std::multimap<double, std::string> pending;
    for (auto& [offset, bytes] : script.due) {
        pending.emplace(start + offset, std::move(bytes));
    }
    auto deliver = [&](double now) {
        while (!pending.empty() && pending.begin()->first <= now) {
            fed += pending.begin()->second;
            fake.comm.feed(pending.begin()->second);
            pending.erase(pending.begin());
        }
    };
    fake.clock.onAdvance = [&](double now) {
        require(now - start <= bound, "the operation ends within its time bound");
        require(now - lastOutput <= limit + slack, "no wait outlasts its limit");
        deliver(now);
    };
    std::vector<Sent> outputs;
    fake.comm.device = [&](std::string_view bytes) {
        outputs.push_back({std::string(bytes), fake.clock.seconds});
        lastOutput = fake.clock.seconds;
        if (script.replies.empty()) {
            return;
        }
        Reply reply = std::move(script.replies.front());
        script.replies.pop_front();
        pending.emplace(fake.clock.seconds + reply.delay, std::move(reply.bytes));
        deliver(fake.clock.seconds);
    };
    deliver(start);

    auto outcome = orva::LinkOutcome::Ok;
    try {
        switch (op) {
        case Op::Wake:
            outcome = link.WakeDevice();
            break;
        case Op::Send:
            outcome = link.SendCommand("rt");
            break;
        case Op::Receive2:
            received = link.ReceiveCharacters(2);
            break;
        case Op::Receive6:
            received = link.ReceiveCharacters(6);
            break;
        case Op::VerifiedBlock:
            outcome = link.ReceiveVerifiedBlock(received);
            break;
        case Op::Bulk:
            outcome = link.ReceiveBulkData(received);
            break;
        }
    } catch (const orva::RunTimeError&) {
        require(false, "no run-time error while the port is open");
    }

    const double spent = fake.clock.seconds - start;
    const auto& screen = fake.screen;
    const bool failed = link.LinkErrorCount >= 3;
    require(failed == (outcome == orva::LinkOutcome::Failed) || op == Op::Receive2 ||
                op == Op::Receive6,
            "the outcome says whether the exchange failed");

    if (op == Op::Receive2 || op == Op::Receive6) {
        const std::size_t count = op == Op::Receive2 ? 2 : 6;
        require(screen.boxes.empty() && fake.comm.open && outputs.empty(),
                "receiving characters neither reports nor sends");
        require(received.size() <= count, "at most the asked number of characters");
        require(received + fake.comm.received == fed,
                "the surplus stays buffered, nothing is lost or reordered");
        if (received.size() < count || !fake.comm.received.empty()) {
            require(spent >= 1.0, "a short answer or a surplus waits out the second");
        }
        require(link.LinkErrorCount == 0 || link.LinkErrorCount == 3, "no other count");
        if (failed) {
            require(received.size() < count || spent >= 2.0,
                    "a time-out only for a short answer or a stalled machine");
        }
        return 0;
    }

    // The link shows nothing itself: the command reports a failure.
    require(screen.boxes.empty(), "the link shows no box");
    require(fake.comm.open != failed, "a failure closes the port, else it stays open");

    switch (op) {
    case Op::Wake:
        require(
            std::all_of(outputs.begin(), outputs.end(), [&](auto& o) { return o.bytes == wake; }),
            "only wake-up sequences are sent");
        require(!outputs.empty() && outputs.size() <= 3, "one to three wake-ups");
        if (!failed) {
            require(outputs.size() == static_cast<std::size_t>(link.LinkErrorCount) + 1,
                    "the count holds the failed tries");
        }
        break;
    case Op::Send:
        require(std::all_of(outputs.begin(), outputs.end(),
                            [&](auto& o) { return o.bytes == command; }),
                "only the command is sent");
        require(!outputs.empty() && outputs.size() <= 4, "one to four sends");
        if (!failed) {
            const auto failures = static_cast<std::size_t>(link.LinkErrorCount);
            require(outputs.size() >= 2 &&
                        (outputs.size() == failures + 1 || outputs.size() == failures + 2),
                    "sent twice, or once more after each failure");
        }
        break;
    case Op::VerifiedBlock: {
        const BlockOutputs b = readBlockOutputs(outputs, ack, nak, start, limit + slack);
        require(b.naks <= 3, "at most three repeat requests in all");
        if (!failed) {
            require(b.accepted >= 1 && !b.awaitingRepeat && outputs.back().bytes == ack,
                    "ends on an accepted block");
            require(link.LinkErrorCount == b.naks, "every repeat request counts once");
            require(received.size() == 12, "twelve characters of clock data");
            require(fed.find(syn + ctl::STX + received) != std::string::npos,
                    "the characters come from a block the device sent");
            require(fake.comm.received.empty(), "the receive buffer is discarded");
        } else if (b.naks < 2) {
            require(fake.clock.seconds - b.attemptStart >= 2.0,
                    "without three failures only a time-out reports");
        }
        break;
    }
    case Op::Bulk: {
        const BlockOutputs b = readBlockOutputs(outputs, ack, nak, start, limit + slack);
        require(b.maxNakRun <= 3, "at most three failures without an accepted block");
        require(received.size() == 32 * static_cast<std::size_t>(b.accepted),
                "32 characters of every accepted block and nothing else");
        std::vector<std::string> shown;
        for (const auto& status : screen.statusHistory) {
            if (status.starts_with(kBulkStatus)) {
                shown.push_back(status);
            }
        }
        require(shown.size() == static_cast<std::size_t>(b.accepted), "each block is shown");
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const std::string content = received.substr(32 * k, 32);
            // The status line shows the block without its control characters.
            require(shown[k].starts_with(kBulkStatus + orva::printableOnly(content)),
                    "the count text holds the contents of the blocks shown, in order");
            // The status no longer shows the ETX: the device's line tells which block it marked.
            if (!failed && k + 1 == shown.size()) {
                require(fed.find(syn + ctl::STX + content + ctl::ETX) != std::string::npos,
                        "a complete transfer ends with a block marked as the last");
            }
        }
        if (!failed) {
            require(b.accepted >= 1 && !b.awaitingRepeat, "ends on an accepted block");
            require(b.maxNakRun <= 2, "success after at most two failures in a row");
            require(link.LinkErrorCount == 0, "a complete transfer ends with the count at 0");
            require(fake.comm.received.empty(), "the receive buffer is discarded");
        } else if (b.nakRun < 2) {
            require(fake.clock.seconds - b.attemptStart >= 3.0,
                    "without three failures only a time-out reports");
        }
        break;
    }
    case Op::Receive2:
    case Op::Receive6:
        break;
    }
    return 0;
}
