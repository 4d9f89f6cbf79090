#include "fakes/Wire.h"
#include "sim/SimulatedDevice.h"

#include <gtest/gtest.h>

namespace orva::test {
namespace {

const std::string kFirstYes = framed("30:45:12:05:12:2", '\x17');
const std::string kSecondYes = framed("026");

// The device's clock on 1 Jan 1999.
class DeviceClockTest : public testing::Test, public ProgramOnSimulator {
protected:
    DeviceClockTest() { device.barrier.setClock({{1999, 1, 1}, 0, 0, 0}, p.clock.seconds); }
};

TEST_F(DeviceClockTest, ReadShowsTheDeviceClockBesideThePcClockDespiteAWrongWakeUp) {
    device.barrier.setClock({{2026, 11, 3}, 9, 3, 7}, p.clock.seconds);
    device.barrier.faults.wrongOwnWakeUps = 1;
    program.editor.menuClick("mnuUhrlesen");
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, "\nORVA-DS \tUhr: 09:03:07  Datum: 03.11.26\n\n"
                                      "PC\t\tUhr: 12:45:30  Datum: 05.12.26\n");
    EXPECT_FALSE(p.comm.open);
}

TEST_F(DeviceClockTest, YesSendsThePcClockInTwoBlocksEachTwice) {
    p.screen.answers = {answer::Yes};
    program.editor.menuClick("mnuUhrstellen");
    EXPECT_EQ(device.pcMessages,
              (std::vector<std::string>{kWake, framed("wu"), framed("wu"), kEot, kWake, kFirstYes,
                                        kFirstYes, kSecondYes, kSecondYes, kEot}));
    EXPECT_EQ(device.deviceClock().date, (sim::CalendarDate{2026, 12, 5}));
    EXPECT_EQ(device.deviceClock().hour, 12);
    EXPECT_FALSE(p.comm.open);
}

TEST_F(DeviceClockTest, HandEntryAsksAgainUntilValidAndIsReadBack) {
    p.screen.answers = {answer::No};
    p.screen.inputs = {"31.02.1994", "02.11.1994", "9:30", "24:00", "14:60", "14:35"};
    program.editor.menuClick("mnuUhrstellen");
    EXPECT_EQ(p.screen.prompts.size(), 6u);
    EXPECT_EQ(device.pcSent(framed("00:35:14:02:11:1", '\x17')), 2);
    EXPECT_EQ(device.pcSent(framed("994")), 2);

    program.editor.menuClick("mnuUhrlesen");
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_TRUE(p.screen.boxes[1].text.starts_with("\nORVA-DS \tUhr: 14:35:0"));
    EXPECT_NE(p.screen.boxes[1].text.find("Datum: 02.11.94\n"), std::string::npos);
}

TEST_F(DeviceClockTest, CancelAnywhereInTheQuestionsSendsNothing) {
    struct Case {
        int answer;
        std::deque<std::string> inputs;
    };
    const Case cases[] = {{answer::Cancel, {}}, {answer::No, {}}, {answer::No, {"05.12.2026"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputs.size());
        p.screen.answers = {c.answer};
        p.screen.inputs = c.inputs;
        program.editor.menuClick("mnuUhrstellen");
        EXPECT_TRUE(device.pcMessages.empty());
        EXPECT_EQ(p.comm.opens, 0);
    }
}

TEST_F(DeviceClockTest, NakedClockBlockIsSentAgainAndTheThirdFailureReports) {
    for (const int naks : {1, 3}) {
        SCOPED_TRACE(naks);
        device.barrier.faults.nakClockBlocks = naks;
        device.barrier.setClock({{1999, 1, 1}, 0, 0, 0}, p.clock.seconds);
        device.pcMessages.clear();
        p.screen.boxes.clear();
        p.screen.answers = {answer::Yes};
        program.editor.menuClick("mnuUhrstellen");
        EXPECT_EQ(device.pcSent(kFirstYes), 3);
        EXPECT_EQ(device.pcSent(kSecondYes), naks == 1 ? 2 : 0);
        EXPECT_EQ(p.screen.boxes.size(), naks == 1 ? 1u : 2u);
        EXPECT_EQ(device.deviceClock().date.year, naks == 1 ? 2026 : 1999);
        EXPECT_FALSE(p.comm.open);
    }
}

} // namespace
} // namespace orva::test
