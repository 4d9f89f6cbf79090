#include "sim/SimulatedDevice.h"

#include <gtest/gtest.h>

using namespace orva;
using namespace orva::test;

namespace {

const std::string ack = "\x16\x06";
const std::string wake = "\x16\x16\x16\x16\x16\x05";

TEST(SimulatedDevice, StartsWithThePcsClockAndAnswersInVirtualTimeAsTheProgramPolls) {
    FakePlatform fake;
    fake.comm.setPortOpen(true);
    SimulatedDevice device(fake);
    EXPECT_EQ(device.deviceClock(), (sim::ClockTime{{2026, 12, 5}, 12, 45, 30}));
    const double sent = fake.clock.seconds;
    fake.comm.output(wake);
    EXPECT_EQ(fake.comm.inBufferCount(), 0) << "not there before time moves";
    // Waits as the program's link does: polls the input count against the clock.
    while (fake.comm.inBufferCount() < 2 && fake.clock.timer() - sent < 1.0) {
    }
    fake.comm.setInputLen(2);
    EXPECT_EQ(fake.comm.input(), ack);
    // 5 ms to react, two bytes of 1.04 ms, read on a clock that moves 1 ms a reading.
    EXPECT_NEAR(fake.clock.seconds - sent, 0.0071, 0.0015);
}

} // namespace
