#pragma once

#include "fakes/FakePlatform.h"
#include "sim/LightBarrier.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva::test {

// Puts a simulated light barrier on the far end of a FakeSerial and lets it run in the
// FakeClock's virtual time: what the program outputs reaches the device at once, and the
// device's answers arrive byte by byte as the program reads the clock in its waits.
//
//     FakePlatform fake;
//     SimulatedDevice device(fake);           // device clock set to the PC's
//     device.barrier.memory = sim::generateDays({2026, 12, 5}, 3, 7);
//     device.barrier.faults.silentWakeUps = 1;
//     ... run a menu command on fake.platform ...
//     EXPECT_EQ(shared.CountText, device.answerText("ra"));
class SimulatedDevice {
public:
    SimulatedDevice(FakeSerial& serial, FakeClock& clock, sim::Timing timing = {});
    explicit SimulatedDevice(FakePlatform& fake, sim::Timing timing = {});
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    // Sets the device clock to the PC's date and time (FakeClock::nowValue), as of now.
    void setClockToPc();
    sim::ClockTime deviceClock() const;
    // What the device would send for a read command now; see LightBarrier::answerText.
    std::optional<std::string> answerText(std::string_view letters) const;

    struct Transfer {
        double time;
        bool fromPc;
        std::string bytes;
        bool lost = false; // sent by the device while the port was closed
    };
    // Both directions of the line, in order.
    std::vector<Transfer> wire;
    // Everything the device put on the line, lost bytes included.
    std::string deviceBytes() const;
    // The program's messages, in order, and how often one of them was sent.
    std::vector<std::string> pcMessages() const;
    int pcSent(const std::string& message) const;

    sim::LightBarrier barrier;

private:
    void deliver(double now);

    FakeSerial& serial_;
    FakeClock& clock_;
};

} // namespace orva::test
