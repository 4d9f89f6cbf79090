#include "sim/SimulatedDevice.h"

#include <algorithm>

namespace orva::test {

SimulatedDevice::SimulatedDevice(FakeSerial& serial, FakeClock& clock, sim::Timing timing)
    : barrier(timing), serial_(serial), clock_(clock) {
    setClockToPc();
    serial_.device = [this](std::string_view bytes) {
        const double now = clock_.seconds;
        deliver(now); // what was already on its way arrives first
        wire.push_back({now, true, std::string(bytes)});
        barrier.receive(bytes, now);
        deliver(now);
    };
    clock_.onAdvance = [this](double now) { deliver(now); };
}

SimulatedDevice::SimulatedDevice(FakePlatform& fake, sim::Timing timing)
    : SimulatedDevice(fake.comm, fake.clock, timing) {}

SimulatedDevice::~SimulatedDevice() {
    serial_.device = nullptr;
    clock_.onAdvance = nullptr;
}

void SimulatedDevice::setClockToPc() {
    const DateTime& pc = clock_.nowValue;
    barrier.setClock({{pc.date.year, pc.date.month, pc.date.day}, pc.hour, pc.minute, pc.second},
                     clock_.seconds);
}

sim::ClockTime SimulatedDevice::deviceClock() const {
    return barrier.clock(clock_.seconds);
}

std::optional<std::string> SimulatedDevice::answerText(std::string_view letters) const {
    return barrier.answerText(letters, clock_.seconds);
}

std::string SimulatedDevice::deviceBytes() const {
    std::string bytes;
    for (const Transfer& t : wire) {
        if (!t.fromPc) {
            bytes += t.bytes;
        }
    }
    return bytes;
}

void SimulatedDevice::deliver(double now) {
    std::string bytes = barrier.transmit(now);
    if (bytes.empty()) {
        return;
    }
    // Nobody listens on a closed port: the bytes are gone.
    const bool lost = !serial_.portOpen();
    if (!lost) {
        serial_.feed(bytes);
    }
    wire.push_back({now, false, std::move(bytes), lost});
}

std::vector<std::string> SimulatedDevice::pcMessages() const {
    std::vector<std::string> out;
    for (const auto& t : wire) {
        if (t.fromPc) {
            out.push_back(t.bytes);
        }
    }
    return out;
}

int SimulatedDevice::pcSent(const std::string& message) const {
    const auto all = pcMessages();
    return static_cast<int>(std::count(all.begin(), all.end(), message));
}

} // namespace orva::test
