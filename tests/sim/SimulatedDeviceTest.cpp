#include "sim/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <regex>

using namespace orva;
using namespace orva::test;

namespace {

const std::string ack = "\x16\x06";
const std::string wake = "\x16\x16\x16\x16\x16\x05";

// Waits as the program's link does: polls the input count against the clock.
std::string receive(FakePlatform& fake, int count, double limit) {
    const double start = fake.clock.timer();
    while (fake.comm.inBufferCount() < count && fake.clock.timer() - start < limit) {
    }
    fake.comm.setInputLen(count);
    return fake.comm.input();
}

class SimulatedDeviceTest : public ::testing::Test {
protected:
    SimulatedDeviceTest() { fake.comm.setPortOpen(true); }

    FakePlatform fake;
    SimulatedDevice device{fake};
};

TEST_F(SimulatedDeviceTest, AnswersArriveInVirtualTimeAsTheProgramPolls) {
    const double sent = fake.clock.seconds;
    fake.comm.output(wake);
    EXPECT_EQ(fake.comm.inBufferCount(), 0) << "not there before time moves";
    EXPECT_EQ(receive(fake, 2, 1.0), ack);
    // 5 ms to react, two bytes of 1.04 ms, read on a clock that moves 1 ms a reading.
    EXPECT_NEAR(fake.clock.seconds - sent, 0.0071, 0.0015);
}

TEST_F(SimulatedDeviceTest, StartsWithThePcsClockAndLogsTheLineInOrder) {
    fake.clock.advance(2.0);
    EXPECT_EQ(device.deviceClock(), (sim::ClockTime{{2026, 12, 5}, 12, 45, 32}));
    fake.comm.output(wake);
    receive(fake, 2, 1.0);
    fake.comm.output("\x16\x02ru\x03");
    receive(fake, 2, 1.0);
    std::string pcBytes;
    std::string order;
    for (const SimulatedDevice::Transfer& t : device.wire) {
        pcBytes += t.fromPc ? t.bytes : "";
        order += t.fromPc ? 'P' : 'D';
    }
    EXPECT_EQ(pcBytes, fake.comm.sent);
    EXPECT_EQ(device.deviceBytes(), ack + ack);
    EXPECT_TRUE(std::regex_match(order, std::regex("PD+PD+"))) << order;
}

TEST_F(SimulatedDeviceTest, AnswersToAClosedPortAreLost) {
    fake.comm.output(wake);
    fake.comm.setPortOpen(false);
    fake.clock.advance(1.0);
    EXPECT_EQ(fake.comm.received, "");
    fake.comm.setPortOpen(true);
    fake.clock.advance(1.0);
    EXPECT_EQ(fake.comm.inBufferCount(), 0);
    ASSERT_FALSE(device.wire.empty());
    EXPECT_TRUE(device.wire.back().lost);
    EXPECT_EQ(device.deviceBytes(), ack);
}

TEST(SimulatedDeviceLifetime, LeavesTheFakesUnhooked) {
    FakePlatform fake;
    {
        SimulatedDevice device(fake, sim::Timing::instant());
        EXPECT_TRUE(fake.comm.device);
        EXPECT_TRUE(fake.clock.onAdvance);
    }
    EXPECT_FALSE(fake.comm.device);
    EXPECT_FALSE(fake.clock.onAdvance);
    fake.comm.setPortOpen(true);
    fake.comm.output(wake);
    fake.clock.advance(1.0);
    EXPECT_EQ(fake.comm.inBufferCount(), 0);
}

} // namespace
