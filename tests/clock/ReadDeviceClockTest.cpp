#include "Program.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <deque>

namespace orva {
namespace {

const std::string SYN(1, ctl::SYN);
const std::string kAck = SYN + ctl::ACK;
const std::string kWake = std::string(5, ctl::SYN) + ctl::ENQ;
const std::string kCommand = SYN + ctl::STX + "ru" + ctl::ETX;
const std::string kEot = SYN + ctl::EOT;

std::string clockFrame(const std::string& fields) {
    std::string b = SYN + ctl::STX + fields;
    b.resize(34, '0');
    return b + ctl::ETX;
}

// A device that answers every send with the next scripted reply ("" is silence).
class ReadDeviceClockTest : public testing::Test {
protected:
    ReadDeviceClockTest() {
        program.editor.Form_Load();
        p.screen.statusHistory.clear();
        p.comm.device = [this](std::string_view bytes) {
            sends.emplace_back(bytes);
            if (!replies.empty()) {
                p.comm.feed(replies.front());
                replies.pop_front();
            }
        };
    }

    void scriptGoodDevice(const std::string& fields) {
        replies = {kAck, kAck, kAck, kWake, clockFrame(fields), clockFrame(fields), "\r\n"};
    }

    test::FakePlatform p;
    test::FakeWindow window;
    Program program{p.platform, window};
    std::deque<std::string> replies;
    std::vector<std::string> sends;
};

TEST_F(ReadDeviceClockTest, ShowsTheDeviceClockBesideThePcClock) {
    scriptGoodDevice("1E2D0C050C1A");
    p.clock.nowValue = {{2026, 12, 6}, 9, 3, 7};
    program.editor.menuClick("mnuUhrlesen", -1);

    EXPECT_EQ(sends, (std::vector<std::string>{kWake, kCommand, kCommand, kEot, kAck, kAck, kAck}));
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "\nORVA-DS \tUhr: 12:45:30  Datum: 05.12.26\n\n"
                                      "PC\t\tUhr: 09:03:07  Datum: 06.12.26\n");
    EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(p.screen.boxes[0].buttons, MsgButtons::OK);
    EXPECT_EQ(p.screen.boxes[0].title, "Uhrzeit und Datum von ORVA-DS und vom PC-System");
    EXPECT_EQ(
        p.screen.statusHistory,
        (std::vector<std::string>{"Status: Die Daten werden übertragen", "Status: ", "Status:"}));
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    EXPECT_EQ(p.text.focusCount, 1);
}

TEST_F(ReadDeviceClockTest, ByteValuesOfAHundredAndMoreShiftTheFields) {
    // Year byte 0x64 = 100 gives three digits, of which the box shows the first two.
    scriptGoodDevice("1E2D0C050C64");
    program.clock.ReadDeviceClock();
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_TRUE(p.screen.boxes[0].text.starts_with("\nORVA-DS \tUhr: 12:45:30  Datum: 05.12.10\n"));
}

TEST_F(ReadDeviceClockTest, WrongWakeUpFromTheDeviceCountsOnceAndTheReadGoesOn) {
    scriptGoodDevice("1E2D0C050C1A");
    replies[3] = std::string(4, ctl::SYN) + "x" + ctl::ENQ;
    program.clock.ReadDeviceClock();
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].title, "Uhrzeit und Datum von ORVA-DS und vom PC-System");
}

TEST_F(ReadDeviceClockTest, SilentDeviceGivesTheTransferErrorAndNoClockBox) {
    program.editor.menuClick("mnuUhrlesen", -1);
    EXPECT_EQ(sends, (std::vector<std::string>{kWake, kWake, kWake}));
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text.substr(0, 20), "Übertragungsfehler!");
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.status(), "Status: ");
}

TEST_F(ReadDeviceClockTest, UnavailablePortIsReportedAndNothingIsSent) {
    p.comm.unavailablePorts = {2};
    program.editor.menuClick("mnuUhrlesen", -1);
    EXPECT_TRUE(sends.empty());
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "Dieser Schnittstellen-Anschluß ist nicht verfügbar!\r\n\r\n"
                                      "Wählen Sie einen anderen Anschluß!");
    EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(p.screen.statusHistory.empty());
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(ReadDeviceClockTest, PortLeftOpenIsUsedAndClosedAfterwards) {
    p.comm.open = true;
    scriptGoodDevice("1E2D0C050C1A");
    program.clock.ReadDeviceClock();
    EXPECT_EQ(p.comm.opens, 0);
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
}

} // namespace
} // namespace orva
