#pragma once

#include "Program.h"
#include "fakes/FakePlatform.h"
#include "sim/LightBarrier.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva::test {

// Puts a simulated light barrier, its clock set to the PC's, on the far end of the fake
// serial line, in the fake clock's virtual time: what the program outputs reaches the device
// at once, and the device's answers arrive byte by byte as the program reads the clock.
struct SimulatedDevice {
    explicit SimulatedDevice(FakePlatform& fake) : fake_(fake) {
        const DateTime& pc = fake.clock.nowValue;
        barrier.setClock(
            {{pc.date.year, pc.date.month, pc.date.day}, pc.hour, pc.minute, pc.second},
            fake.clock.seconds);
        fake.comm.device = [this](std::string_view bytes) {
            deliver(fake_.clock.seconds); // what was already on its way arrives first
            pcMessages.emplace_back(bytes);
            barrier.receive(bytes, fake_.clock.seconds);
            deliver(fake_.clock.seconds);
        };
        fake.clock.onAdvance = [this](double now) { deliver(now); };
    }
    ~SimulatedDevice() {
        fake_.comm.device = nullptr;
        fake_.clock.onAdvance = nullptr;
    }
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    sim::ClockTime deviceClock() const { return barrier.clock(fake_.clock.seconds); }
    // What the device would send for a read command now; see LightBarrier::answerText.
    std::optional<std::string> answerText(std::string_view letters) const {
        return barrier.answerText(letters, fake_.clock.seconds);
    }
    int pcSent(const std::string& message) const {
        return static_cast<int>(std::count(pcMessages.begin(), pcMessages.end(), message));
    }

    sim::LightBarrier barrier;
    std::vector<std::string> pcMessages; // what the program sent, in order

private:
    // Nobody listens on a closed port: the bytes are gone.
    void deliver(double now) {
        const std::string bytes = barrier.transmit(now);
        if (!bytes.empty() && fake_.comm.portOpen()) {
            fake_.comm.feed(bytes);
        }
    }

    FakePlatform& fake_;
};

// The whole program on fakes, started, with the simulated light barrier at the end of the line.
struct ProgramOnSimulator {
    ProgramOnSimulator() { program.editor.Form_Load(); }

    FakePlatform p;
    FakeWindow window;
    Program program{p.platform, window};
    SimulatedDevice device{p};
};

} // namespace orva::test
