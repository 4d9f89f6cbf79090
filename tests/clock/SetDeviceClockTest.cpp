#include "Program.h"
#include "fakes/FakePlatform.h"
#include "sim/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orva {
namespace {

const std::string SYN(1, ctl::SYN);
const std::string kFirstYes = SYN + ctl::STX + "30:45:12:05:12:2" + ctl::ETB;
const std::string kSecondYes = SYN + ctl::STX + "026" + ctl::ETX;
const std::string kQuestion =
    "\r\nDas heutige Datum ist der \t05.12.2026\r\n\r\nDie aktuelle Uhrzeit ist\t12:45:30 Uhr"
    "\r\n\r\n\r\nWollen Sie dieses Datum übertragen?\r\n\r\nBei -Nein- können Sie ein anderes "
    "Datum von Hand eingeben!";
const std::string kDatePrompt = "Geben Sie das heutige Datum ein.\r\n\r\n\r\n\r\n\r\n\r\n"
                                "Eingabeformat:\ttt.mm.jjjj (Jahr = 4-stellig!)\r\n\r\n"
                                "Beispiel:   02.11.1994";
const std::string kTimePrompt = "Geben Sie die Uhrzeit ein.\r\n\r\n\r\n\r\n\r\n\r\n"
                                "Eingabeformat:\thh:mm\r\rBeispiel:\t14:35";

class SetDeviceClockTest : public testing::Test {
protected:
    SetDeviceClockTest() {
        program.editor.Form_Load();
        p.screen.statusHistory.clear();
        device.barrier.setClock({{1999, 1, 1}, 0, 0, 0}, p.clock.seconds);
    }

    test::FakePlatform p;
    test::FakeWindow window;
    Program program{p.platform, window};
    test::SimulatedDevice device{p};
};

TEST_F(SetDeviceClockTest, YesSendsThePcClockInTwoBlocksEachTwice) {
    p.screen.answers = {answer::Yes};
    program.editor.menuClick("mnuUhrstellen", -1);

    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, kQuestion);
    EXPECT_EQ(p.screen.boxes[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(p.screen.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(p.screen.boxes[0].title, "System-Datum und Uhrzeit");
    const auto m = device.pcMessages();
    const std::string wake = std::string(5, ctl::SYN) + ctl::ENQ;
    const std::string ack = SYN + ctl::ACK;
    const std::string command = SYN + ctl::STX + "wu" + ctl::ETX;
    const std::string eot = SYN + ctl::EOT;
    EXPECT_EQ(m, (std::vector<std::string>{wake, command, command, eot, wake, kFirstYes, kFirstYes,
                                           kSecondYes, kSecondYes, eot}));
    EXPECT_EQ(device.deviceClock().date, (sim::CalendarDate{2026, 12, 5}));
    EXPECT_EQ(device.deviceClock().hour, 12);
    EXPECT_EQ(device.deviceClock().minute, 45);
    EXPECT_EQ(
        p.screen.statusHistory,
        (std::vector<std::string>{"Status: ", "Status: Die Daten werden übertragen", "Status:"}));
    // The port closes only after the closing characters had their three seconds.
    EXPECT_GE(p.clock.seconds - device.wire.back().time, 3.0);
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    EXPECT_EQ(p.text.focusCount, 1);
}

TEST_F(SetDeviceClockTest, HandEntryIsSentAndReadBackByTheClockRead) {
    p.screen.answers = {answer::No};
    p.screen.inputs = {"31.02.1994", "02.11.1994", "9:30", "24:00", "14:60", "14:35"};
    program.editor.menuClick("mnuUhrstellen", -1);

    ASSERT_EQ(p.screen.prompts.size(), 6u);
    EXPECT_EQ(p.screen.prompts[0].prompt, kDatePrompt);
    EXPECT_EQ(p.screen.prompts[0].title, "Datum-Handeingabe");
    EXPECT_EQ(p.screen.prompts[1].prompt, kDatePrompt);
    EXPECT_EQ(p.screen.prompts[2].prompt, kTimePrompt);
    EXPECT_EQ(p.screen.prompts[2].title, "Uhrzeit-Handeingabe");
    EXPECT_EQ(p.screen.boxes.size(), 1u); // the question only: wrong entries just come back
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "00:35:14:02:11:1" + ctl::ETB), 2);
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "994" + ctl::ETX), 2);

    program.editor.menuClick("mnuUhrlesen", -1);
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[1].text.substr(0, 22), "\nORVA-DS \tUhr: 14:35:0");
    EXPECT_NE(p.screen.boxes[1].text.find("Datum: 02.11.94\n"), std::string::npos);
}

TEST_F(SetDeviceClockTest, TwoDigitYearAndAnUnreadMiddleCharacter) {
    p.screen.answers = {answer::No};
    p.screen.inputs = {"02.11.94", "12345"};
    program.clock.mnuUhrstellen_Click();
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "00:45:12:02:11:1" + ctl::ETB), 2);
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "994" + ctl::ETX), 2);
}

struct StopCase {
    const char* name;
    int answer;
    std::deque<std::string> inputs;
};

class SetDeviceClockStops : public SetDeviceClockTest,
                            public testing::WithParamInterface<StopCase> {};

TEST_P(SetDeviceClockStops, NothingIsSentAndThePortStaysClosed) {
    p.screen.answers = {GetParam().answer};
    p.screen.inputs = GetParam().inputs;
    program.editor.menuClick("mnuUhrstellen", -1);
    EXPECT_TRUE(device.wire.empty());
    EXPECT_EQ(p.comm.opens, 0);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.text.focusCount, 0);
    // A following command answered with Yes sends the PC's clock as usual.
    p.screen.answers = {answer::Yes};
    program.editor.menuClick("mnuUhrstellen", -1);
    EXPECT_EQ(device.pcSent(kFirstYes), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetDeviceClockStops,
                         testing::Values(StopCase{"CancelInTheQuestion", answer::Cancel, {}},
                                         StopCase{"DateBoxCancelled", answer::No, {}},
                                         StopCase{"TimeBoxCancelled", answer::No, {"05.12.2026"}}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SetDeviceClockTest, NakRepeatsTheBlockAndTheThirdFailureReports) {
    device.barrier.faults.nakClockBlocks = 3;
    p.screen.answers = {answer::Yes};
    program.editor.menuClick("mnuUhrstellen", -1);
    EXPECT_EQ(device.pcSent(kFirstYes), 3);
    EXPECT_EQ(device.pcSent(kSecondYes), 0);
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[1].text.substr(0, 20), "Übertragungsfehler!");
    EXPECT_EQ(p.screen.status(), "Status: ");
    EXPECT_FALSE(p.comm.open);
    EXPECT_GE(program.link.LinkErrorCount, 3);
}

TEST_F(SetDeviceClockTest, OneNakIsRepeatedAndTheClockIsStillSet) {
    device.barrier.faults.nakClockBlocks = 1;
    p.screen.answers = {answer::Yes};
    program.editor.menuClick("mnuUhrstellen", -1);
    EXPECT_EQ(device.pcSent(kFirstYes), 3);
    EXPECT_EQ(device.pcSent(kSecondYes), 2);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(device.deviceClock().date, (sim::CalendarDate{2026, 12, 5}));
}

} // namespace
} // namespace orva
