#include "link/DeviceLink.h"
#include "fakes/FakePlatform.h"
#include "fakes/Wire.h"

#include <gtest/gtest.h>

#include <deque>

namespace orva::test {
namespace {

// A device that answers each thing the program sends with the next scripted reply (an
// empty reply is silence), and remembers when each send happened.
struct LinkRig {
    LinkRig() {
        p.comm.open = true;
        p.comm.device = [this](std::string_view bytes) {
            sends.emplace_back(bytes);
            sendTimes.push_back(p.clock.seconds);
            if (!replies.empty()) {
                p.comm.feed(replies.front());
                replies.pop_front();
            }
        };
    }

    void expectTransferErrorReported() {
        ASSERT_EQ(p.screen.boxes.size(), 1u);
        EXPECT_TRUE(p.screen.boxes[0].text.starts_with("Übertragungsfehler!"));
        EXPECT_EQ(p.screen.statusHistory, (std::vector<std::string>{"Status: Fehler", "Status: "}));
        EXPECT_FALSE(p.comm.open);
    }

    FakePlatform p;
    DeviceLink link{p.platform, [](const std::function<void()>& step) {
                        step();
                        return true;
                    }};
    std::deque<std::string> replies;
    std::vector<std::string> sends;
    std::vector<double> sendTimes;
};

std::string block(const std::string& content, char last = '\x03') {
    std::string text = content;
    text.resize(32, 'F');
    return framed(text, last);
}

TEST(Link, SilentDeviceGetsThreeWakeUpsOneSecondApartThenTheReport) {
    LinkRig r;
    EXPECT_EQ(r.link.WakeDevice(), LinkOutcome::Failed);
    ASSERT_EQ(r.sends, (std::vector<std::string>{kWake, kWake, kWake}));
    EXPECT_NEAR(r.sendTimes[1] - r.sendTimes[0], 1.0, 0.01);
    EXPECT_NEAR(r.sendTimes[2] - r.sendTimes[1], 1.0, 0.01);
    r.expectTransferErrorReported();
}

TEST(Link, SendCommandSendsUntilTwoAcknowledgedOrThreeFailures) {
    struct Case {
        std::deque<std::string> replies;
        int sends;
        bool failed;
    };
    const Case cases[] = {{{kAck, kAck}, 2, false},     {{"", kAck}, 2, false},
                          {{kAck, "", kAck}, 3, false}, {{"", kNak, kAck}, 3, false},
                          {{"", kNak, ""}, 3, true},    {{kAck, "", kNak, ""}, 4, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.replies));
        LinkRig r;
        r.replies = c.replies;
        EXPECT_EQ(r.link.SendCommand("ru"), c.failed ? LinkOutcome::Failed : LinkOutcome::Ok);
        EXPECT_EQ(r.sends, std::vector<std::string>(c.sends, framed("ru")));
        EXPECT_EQ(r.p.screen.boxes.size(), c.failed ? 1u : 0u);
    }
}

TEST(Link, VerifiedBlockAnswersDifferingCopiesWithNakAndTakesTheGoodPair) {
    LinkRig r;
    const std::string good = block("1E2D0C050C1A");
    std::string bad = good;
    bad[5] = 'X';
    r.p.comm.feed(good);      // first copy
    r.replies = {bad,         // repeat copy after the ACK: differs
                 good, good,  // after the NAK: both copies again
                 "\x01\x02"}; // closing characters
    std::string text;
    EXPECT_EQ(r.link.ReceiveVerifiedBlock(text), LinkOutcome::Ok);
    EXPECT_EQ(r.sends, (std::vector<std::string>{kAck, kNak, kAck, kAck}));
    EXPECT_EQ(text, "1E2D0C050C1A");
    EXPECT_TRUE(r.p.comm.received.empty());
    EXPECT_TRUE(r.p.screen.boxes.empty());
}

// How long a block pair may take from the start of its attempt: 2 s for the clock block, 3 s
// for count data.
TEST(Link, BlockPairsMustBeCompleteWithinTheirLimit) {
    struct Case {
        bool data;
        double delay; // until the first copy arrives; the repeat follows the ACK at once
        LinkOutcome outcome;
    };
    const Case cases[] = {{false, 1.9, LinkOutcome::Ok},
                          {false, 2.1, LinkOutcome::Failed},
                          {true, 2.5, LinkOutcome::Ok},
                          {true, 3.1, LinkOutcome::Failed}};
    for (const auto& c : cases) {
        SCOPED_TRACE((c.data ? "data block after " : "clock block after ") +
                     std::to_string(c.delay));
        LinkRig r;
        const std::string good = block("1E2D0C050C1A");
        const double start = r.p.clock.seconds;
        r.p.clock.onAdvance = [&](double now) {
            if (now - start >= c.delay && r.sends.empty() && r.p.comm.received.empty()) {
                r.p.comm.feed(good);
            }
        };
        r.replies = {good, "\x01\x02"};
        std::string text;
        EXPECT_EQ(c.data ? r.link.ReceiveBulkData(text) : r.link.ReceiveVerifiedBlock(text),
                  c.outcome);
        EXPECT_EQ(r.p.screen.boxes.size(), c.outcome == LinkOutcome::Ok ? 0u : 1u);
        EXPECT_LT(r.p.clock.seconds - start, 3.1);
    }
}

} // namespace
} // namespace orva::test
