#include "link/DeviceLink.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <deque>

namespace orva {
namespace {

const std::string SYN(1, ctl::SYN);
const std::string kAck = SYN + ctl::ACK;
const std::string kNak = SYN + ctl::NAK;
const std::string kWake = std::string(5, ctl::SYN) + ctl::ENQ;
const std::string kTransferError =
    "Übertragungsfehler!\n\nBitte prüfen Sie die Kabelverbindungen\n\nund die Spannungsversorgung.";

// A device that answers each thing the program sends with the next scripted reply (an
// empty reply is silence), and remembers when each send happened.
class LinkTest : public testing::Test {
protected:
    LinkTest() {
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

    static std::string block(const std::string& content, char last) {
        std::string b = SYN + ctl::STX + content;
        b.resize(34, 'F');
        return b + last;
    }

    int count(const std::string& what) const {
        int n = 0;
        for (const auto& s : sends) {
            n += s == what ? 1 : 0;
        }
        return n;
    }

    void expectTransferErrorReported() {
        ASSERT_EQ(p.screen.boxes.size(), 1u);
        EXPECT_EQ(p.screen.boxes[0].text, kTransferError);
        EXPECT_EQ(p.screen.boxes[0].buttons, MsgButtons::OK);
        EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::None);
        EXPECT_EQ(p.screen.boxes[0].title, "ORVA-DS");
        EXPECT_EQ(p.screen.statusHistory, (std::vector<std::string>{"Status: Fehler", "Status: "}));
        EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
        EXPECT_FALSE(p.comm.open);
        EXPECT_GE(link.LinkErrorCount, 3);
    }

    test::FakePlatform p;
    DeviceLink link{p.platform, [](const std::function<void()>& step) {
                        step();
                        return true;
                    }};
    std::deque<std::string> replies;
    std::vector<std::string> sends;
    std::vector<double> sendTimes;
};

TEST_F(LinkTest, SilentDeviceGetsThreeWakeUpsOneSecondApartThenTheReport) {
    EXPECT_EQ(link.WakeDevice(), LinkOutcome::Failed);
    ASSERT_EQ(sends, (std::vector<std::string>{kWake, kWake, kWake}));
    EXPECT_NEAR(sendTimes[1] - sendTimes[0], 1.0, 0.01);
    EXPECT_NEAR(sendTimes[2] - sendTimes[1], 1.0, 0.01);
    expectTransferErrorReported();
    EXPECT_EQ(link.LinkErrorCount, 3);
}

TEST_F(LinkTest, WakeUpAnsweredOnlyTheThirdTimeLeavesTheCountAtTwo) {
    replies = {"", std::string(1, ctl::SYN) + 'x', kAck};
    EXPECT_EQ(link.WakeDevice(), LinkOutcome::Ok);
    EXPECT_EQ(sends.size(), 3u);
    EXPECT_EQ(link.LinkErrorCount, 2);
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_TRUE(p.comm.open);
}

struct SendCase {
    const char* name;
    std::deque<std::string> replies;
    int sends;
    int errorCount;
    bool reported;
};

class SendCommandTest : public LinkTest, public testing::WithParamInterface<SendCase> {};

TEST_P(SendCommandTest, SendsUntilTwoAcknowledgedOrThreeFailures) {
    const std::string command = SYN + ctl::STX + "ru" + ctl::ETX;
    replies = GetParam().replies;
    EXPECT_EQ(link.SendCommand("ru"), GetParam().reported ? LinkOutcome::Failed : LinkOutcome::Ok);
    EXPECT_EQ(count(command), GetParam().sends);
    EXPECT_EQ(link.LinkErrorCount, GetParam().errorCount);
    EXPECT_EQ(p.screen.boxes.size(), GetParam().reported ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SendCommandTest,
    testing::Values(SendCase{"AckAck", {kAck, kAck}, 2, 0, false},
                    SendCase{"SilentAck", {"", kAck}, 2, 1, false},
                    SendCase{"AckSilentAck", {kAck, "", kAck}, 3, 1, false},
                    SendCase{"SilentNakAck", {"", kNak, kAck}, 3, 2, false},
                    SendCase{"ThreeFailures", {"", kNak, ""}, 3, 3, true},
                    SendCase{"AckThenThreeFailures", {kAck, "", kNak, ""}, 4, 3, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(LinkTest, ReceiveCharactersLeavesSurplusBufferedAndWaitsOutTheSecond) {
    p.comm.feed(SYN + ctl::ACK + 'z');
    const double start = p.clock.seconds;
    EXPECT_EQ(link.ReceiveCharacters(2), kAck);
    EXPECT_GE(p.clock.seconds - start, 1.0);
    EXPECT_LT(p.clock.seconds - start, 1.01);
    EXPECT_EQ(p.comm.received, "z");
    EXPECT_EQ(link.LinkErrorCount, 0);
}

TEST_F(LinkTest, ReceiveCharactersReturnsWhatCameWhenTheDeviceIsSlow) {
    p.comm.feed(std::string(1, ctl::SYN));
    EXPECT_EQ(link.ReceiveCharacters(2), SYN);
    EXPECT_EQ(link.LinkErrorCount, 0);
}

TEST_F(LinkTest, VerifiedBlockAnswersDifferingCopiesWithNakAndTakesTheGoodPair) {
    const std::string good = block("1E2D0C050C1A", ctl::ETX);
    std::string bad = good;
    bad[5] = 'X';
    p.comm.feed(good);      // first copy
    replies = {bad,         // repeat copy after the ACK: differs
               good, good,  // after the NAK: both copies again
               "\x01\x02"}; // closing characters
    std::string blockText;
    EXPECT_EQ(link.ReceiveVerifiedBlock(blockText), LinkOutcome::Ok);
    EXPECT_EQ(sends, (std::vector<std::string>{kAck, kNak, kAck, kAck}));
    EXPECT_EQ(blockText, "1E2D0C050C1A");
    EXPECT_EQ(link.LinkErrorCount, 1);
    EXPECT_TRUE(p.comm.received.empty());
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(LinkTest, VerifiedBlockKeepsOnlyTheLastBlockOfSeveral) {
    p.comm.feed(block("AAAAAAAAAAAA", ctl::ETB));
    replies = {block("AAAAAAAAAAAA", ctl::ETB), block("BBBBBBBBBBBB", ctl::ETX),
               block("BBBBBBBBBBBB", ctl::ETX), "zz"};
    std::string blockText;
    link.ReceiveVerifiedBlock(blockText);
    EXPECT_EQ(blockText, "BBBBBBBBBBBB");
    EXPECT_EQ(count(kAck), 4);
}

TEST_F(LinkTest, ThreeBadHeadersGiveTwoNaksThenTheReport) {
    std::string bad = block("1E2D0C050C1A", ctl::ETX);
    bad[1] = 'x';
    p.comm.feed(bad);
    replies = {bad, bad};
    std::string blockText;
    EXPECT_EQ(link.ReceiveVerifiedBlock(blockText), LinkOutcome::Failed);
    EXPECT_EQ(sends, (std::vector<std::string>{kNak, kNak}));
    expectTransferErrorReported();
}

TEST_F(LinkTest, MissingBlockIsReportedAfterTwoSecondsWithoutRetry) {
    const double start = p.clock.seconds;
    std::string blockText;
    link.ReceiveVerifiedBlock(blockText);
    EXPECT_TRUE(sends.empty());
    EXPECT_NEAR(p.clock.seconds - start, 2.0, 0.01);
    expectTransferErrorReported();
}

TEST_F(LinkTest, MissingRepeatCopyIsReportedAtTheSameLimit) {
    p.comm.feed(block("1E2D0C050C1A", ctl::ETX));
    std::string blockText;
    link.ReceiveVerifiedBlock(blockText);
    EXPECT_EQ(sends, std::vector<std::string>{kAck});
    expectTransferErrorReported();
}

struct OnCommCase {
    int code;
    const char* shown; // nullptr: nothing shown
};

class OnCommTest : public LinkTest, public testing::WithParamInterface<OnCommCase> {};

TEST_P(OnCommTest, ErrorsAskAndEventsStaySilent) {
    p.screen.answers = {answer::OK};
    int stored = 0;
    link.MSComm1_OnComm(GetParam().code, stored);
    if (GetParam().shown == nullptr) {
        EXPECT_TRUE(p.screen.boxes.empty());
        EXPECT_EQ(p.screen.beeps, 0);
        return;
    }
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, GetParam().shown);
    EXPECT_EQ(p.screen.boxes[0].title, "Press Cancel to Quit, Ok to ignore.");
    EXPECT_EQ(p.screen.boxes[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(p.screen.beeps, 1);
    EXPECT_TRUE(p.comm.open);
    EXPECT_EQ(stored, answer::OK);
}

INSTANTIATE_TEST_SUITE_P(Codes, OnCommTest,
                         testing::Values(OnCommCase{comm::ErRxParity, nullptr},
                                         OnCommCase{comm::ErFrame, nullptr},
                                         OnCommCase{comm::EvBreak, nullptr},
                                         OnCommCase{comm::EvCTS, nullptr},
                                         OnCommCase{comm::ErOverrun, "Overrun Error"},
                                         OnCommCase{comm::ErRxOver, "Receive Buffer Overflow"},
                                         OnCommCase{comm::ErTxFull, "Transmit Buffer Full"},
                                         OnCommCase{4711, "Unknown error or event"}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST_F(LinkTest, CancelInTheOnCommBoxClosesThePort) {
    p.screen.answers = {answer::Cancel};
    int stored = 0;
    link.MSComm1_OnComm(comm::ErOverrun, stored);
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(stored, answer::Cancel);
    // The slot was cleared: a following silent event shows nothing more.
    link.MSComm1_OnComm(comm::ErRxParity, stored);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
}

} // namespace
} // namespace orva
