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

    // The link shows nothing itself; the command reports the failure.
    void expectFailedQuietly() {
        EXPECT_TRUE(p.screen.boxes.empty() && p.screen.statusHistory.empty());
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
    r.expectFailedQuietly();
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
        EXPECT_EQ(r.p.comm.open, !c.failed);
    }
    // Twice in a row: a failure between two acknowledgements starts the pair afresh.
    LinkRig r;
    r.replies = {kAck, "", kAck, kAck};
    EXPECT_EQ(r.link.SendCommandTwiceInARow("rab"), LinkOutcome::Ok);
    EXPECT_EQ(r.sends.size(), 4u);
}

TEST(Link, VerifiedBlocksAnswerDifferingCopiesWithNakAndTakeTheGoodPair) {
    // Count data: each block differs once, the failure count starts afresh with each block,
    // and only ETX marks the last one.
    for (const bool data : {false, true}) {
        SCOPED_TRACE(data ? "count data" : "clock block");
        LinkRig r;
        const std::vector<std::string> good =
            data ? std::vector{block("A", 'x'), block("B", '\x17'), block("C")}
                 : std::vector{block("1E2D0C050C1A")};
        std::string expected;
        std::vector<std::string> answers;
        for (std::size_t i = 0; i < good.size(); ++i) {
            std::string bad = good[i];
            bad[5] = 'X';
            // The repeat copy differs; after the NAK both copies again, then the next block.
            r.replies.insert(r.replies.end(), {bad, good[i], good[i]});
            r.replies.push_back(i + 1 < good.size() ? good[i + 1] : "\x01\x02");
            answers.insert(answers.end(), {kAck, kNak, kAck, kAck});
            expected += good[i].substr(2, data ? 32 : 12);
        }
        r.p.comm.feed(good[0]);
        std::string text;
        EXPECT_EQ(data ? r.link.ReceiveBulkData(text) : r.link.ReceiveVerifiedBlock(text),
                  LinkOutcome::Ok);
        EXPECT_EQ(text, expected);
        EXPECT_EQ(r.sends, answers);
        EXPECT_TRUE(r.p.comm.received.empty());
        EXPECT_TRUE(r.p.screen.boxes.empty());
    }
}

TEST(Link, ThreeBadHeadersGiveTwoNaksThenTheReport) {
    LinkRig r;
    std::string bad = block("1E2D0C050C1A");
    bad[1] = 'x';
    r.p.comm.feed(bad);
    r.replies = {bad, bad};
    std::string text;
    EXPECT_EQ(r.link.ReceiveVerifiedBlock(text), LinkOutcome::Failed);
    EXPECT_EQ(r.sends, (std::vector<std::string>{kNak, kNak}));
    r.expectFailedQuietly();
}

// How long an answer may take from the start of the wait: 2 s for the clock block pair, 3 s
// for a pair of count data, 4 s for the device's answer to a from-date command.
TEST(Link, AnswersAreWaitedForUpToTheirLimit) {
    struct Case {
        std::string what;
        double delay; // until the first copy arrives; the repeat follows the ACK at once
        LinkOutcome outcome;
    };
    const Case cases[] = {{"clock", 1.9, LinkOutcome::Ok}, {"clock", 2.1, LinkOutcome::Failed},
                          {"data", 2.5, LinkOutcome::Ok},  {"data", 3.1, LinkOutcome::Failed},
                          {"date", 3.5, LinkOutcome::Ok},  {"date", 4.1, LinkOutcome::DateNotHeld}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + " after " + std::to_string(c.delay));
        LinkRig r;
        const std::string first = c.what == "date" ? kWake : block("1E2D0C050C1A");
        if (c.what != "date") {
            r.replies = {first, "\x01\x02"};
        }
        bool fed = false;
        r.p.clock.onAdvance = [&, start = r.p.clock.seconds](double now) {
            if (!fed && now - start >= c.delay) {
                fed = true;
                r.p.comm.feed(first);
            }
        };
        std::string text;
        EXPECT_EQ(c.what == "date"   ? r.link.AnswerDateWakeUp()
                  : c.what == "data" ? r.link.ReceiveBulkData(text)
                                     : r.link.ReceiveVerifiedBlock(text),
                  c.outcome);
    }
}

} // namespace
} // namespace orva::test
