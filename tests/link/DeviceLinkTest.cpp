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
            // The closing characters: the clock block's at once, the count data's never.
            r.replies.push_back(i + 1 < good.size() ? good[i + 1] : data ? "" : "\x01\x02");
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
        // Closing characters waited for up to 2 s from the start of the last block's attempt.
        EXPECT_NEAR(r.p.clock.seconds - r.sendTimes.back(), data ? 2.0 : 0.0, 0.01);
    }
}

// Giving up: a wake-up is sent three times, each waited for 1 s; a refused copy gets a NAK and
// the pair again, the third refusal the report at once. Waits are timed from their start: 2 s
// for the clock block pair, 3 s for a pair of count data (a missing repeat ends the transfer
// without a NAK), 4 s for the answer to a from-date command.
TEST(Link, GivesUpOnTheThirdFailureOrWhenAWaitHasRunOut) {
    const std::string good = block("1E2D0C050C1A");
    const std::string bad = "\x16x" + good.substr(2);
    const struct {
        std::string what;
        std::deque<std::string> copies; // what the device sends, all but the first as answers
        std::vector<std::string> answers;
        double seconds; // until the operation ends
        LinkOutcome outcome = LinkOutcome::Failed;
        double firstAfter = 0.0; // when the first copy comes
    } cases[] = {{"wake", {""}, {kWake, kWake, kWake}, 3.0},
                 {"data", {bad, bad, bad}, {kNak, kNak}, 0.0},
                 {"data", {good, bad, good, bad, good, bad}, {kAck, kNak, kAck, kNak, kAck}, 0.0},
                 {"data", {good}, {kAck}, 3.0},
                 {"data", {good, good}, {kAck, kAck}, 2.5, LinkOutcome::Ok, 2.5},
                 {"clock", {""}, {}, 2.0},
                 {"date", {""}, {kEot}, 4.0, LinkOutcome::DateNotHeld}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + " " + std::to_string(c.answers.size()));
        LinkRig r;
        r.replies.assign(c.copies.begin() + 1, c.copies.end());
        const double start = r.p.clock.seconds;
        r.p.clock.onAdvance = [&, fed = false](double now) mutable {
            if (!fed && now - start >= c.firstAfter) {
                fed = true;
                r.p.comm.feed(c.copies.front());
            }
        };
        std::string text;
        EXPECT_EQ(c.what == "wake"   ? r.link.WakeDevice()
                  : c.what == "date" ? r.link.AnswerDateWakeUp()
                  : c.what == "data" ? r.link.ReceiveBulkData(text)
                                     : r.link.ReceiveVerifiedBlock(text),
                  c.outcome);
        EXPECT_EQ(r.sends, c.answers);
        EXPECT_NEAR(r.p.clock.seconds - start, c.seconds, 0.02);
        if (c.outcome == LinkOutcome::Failed) {
            r.expectFailedQuietly();
        }
    }
}

} // namespace
} // namespace orva::test
