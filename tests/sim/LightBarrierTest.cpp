#include "sim/LightBarrier.h"
#include "fakes/Wire.h"

#include <gtest/gtest.h>

namespace orva::sim {
namespace {

using test::framed, test::kAck, test::kNak, test::kEot, test::kWake;

std::string withByte(std::string s, std::size_t pos, char c) {
    s[pos] = c;
    return s;
}

// Three days written out by hand: 8 h with 10/2 persons; no records; 13 h 37/7, 14 h 0x1234/1.
const std::string day3 = "0000000000001A0C03"
                         "0008000A0002";
const std::string day4 = "0000000000001A0C04";
const std::string day5 = "0000000000001A0C05"
                         "000D00250007"
                         "000E12340001";
const std::string endMarker(18, '0');
const std::string allText = day3 + day4 + day5 + endMarker + std::string(20, 'F');
const std::string clockFrame = framed("1E2D0C050C1A" + std::string(20, '0')); // 12:45:30 05.12.26
const std::string firstOfAll = framed(allText.substr(0, 32), '\x17');

// What the PC sends, and what the device answers at once.
using Script = std::vector<std::pair<std::string, std::string>>;

Script operator+(Script a, const Script& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Script start(std::string_view letters, std::string turnAnswer = kWake) {
    return {{kWake, kAck}, {framed(letters), kAck}, {framed(letters), kAck}, {kEot, turnAnswer}};
}
// Each block of `text` twice, the last with ETX, then the two closing characters.
Script blocks(const std::string& text) {
    Script s;
    for (std::size_t at = 0; at < text.size(); at += 32) {
        const std::string block =
            framed(text.substr(at, 32), at + 32 < text.size() ? '\x17' : '\x03');
        s = s + Script{{kAck, block}, {kAck, block}};
    }
    return s + Script{{kAck, kEot}};
}
const Script readClock = start("ru") + blocks(clockFrame.substr(2, 32));
// The PC's clock blocks after "wu" (the second one unless empty), each sent twice and
// answered with `answer`, then the closing EOT.
Script setClock(const std::string& first, const std::string& second, const std::string& answer) {
    Script s = start("wu", "") + Script{{kWake, kAck}};
    for (const auto& b : {framed(first, '\x17'), framed(second)}) {
        s = b.size() > 3 ? s + Script{{b, answer}, {b, answer}} : s;
    }
    return s + Script{{kEot, ""}};
}

struct Exchange {
    const char* name;
    const char* fault; // switched on for one occasion, or ""
    Script script;
};

// clang-format off
const Exchange exchanges[] = {
    {"today", "", start("rt") + blocks(day5 + endMarker + "FFFF")},
    {"all", "", start("ra") + blocks(allText)},
    {"fromHeldDate", "", start("rab04:12:26") + blocks(day4 + day5 + endMarker + std::string(18, 'F'))},
    {"nakRestartsTheBlock", "", start("ra") + Script{{kAck, firstOfAll}, {kNak, firstOfAll},
        {kAck, firstOfAll}} + blocks(allText.substr(32))},
    {"unknownCommand", "",
     {{framed("rt"), ""}, {kWake, kAck}, {framed("xy"), kNak}, {framed("rab"), kNak}, {kEot, ""}}},
    {"partialMessages", "", {{"\x16\x16\x16\x16\x05", ""}, {"\x16\x16\x16", ""},
        {"\x16\x16\x05", kAck}, {"\x16\x02r", ""}, {framed("ru"), kAck},
        {framed(std::string(40, 'r')), ""}}},
    {"wakeUpsEndAnyExchange", "", start("ra") + Script{{kAck, firstOfAll}} + start("wu", "") +
        readClock},
    {"clockSet", "", setClock("00:00:08:01:01:2", "027", kAck) + start("ru") +
        blocks("00000801011B" + std::string(20, '0'))},
    {"clockSetWithoutYearTail", "", setClock("00:00:08:01:01:2", "", kAck) + readClock},
    {"clockSetMinute60", "", setClock("00:60:08:01:01:2", "", kNak) + readClock},
    {"silentWakeUps", "silent-wake-ups", Script{{kWake, ""}} + readClock},
    {"wrongWakeUpAnswers", "wrong-wake-up-answers", Script{{kWake, kNak}} + readClock},
    {"unacknowledgedCommands", "unacknowledged-commands",
     Script{{kWake, kAck}, {framed("ru"), ""}, {kEot, ""}} + readClock},
    {"nakClockBlocks", "nak-clock-blocks",
     start("wu", "") + Script{{kWake, kAck}, {framed("30:45:12:05:12:2", '\x17'), kNak}}},
    {"badHeaders", "bad-headers", start("ru") + Script{{kAck, withByte(clockFrame, 1, '\x03')}}},
    {"corruptedRepeats", "corrupted-repeats",
     start("ru") + Script{{kAck, clockFrame}, {kAck, withByte(clockFrame, 18, '1')}}},
    {"wrongOwnWakeUps", "wrong-own-wake-ups", start("ru", withByte(kWake, 1, '\x17')) +
        blocks(clockFrame.substr(2, 32)) + readClock},
    {"missingRepeats", "missing-repeats", start("ru") + Script{{kAck, clockFrame}, {kAck, ""}}},
    {"stopAfterBlocks", "stop-after-blocks", readClock + start("ra") +
        Script{{kAck, firstOfAll}, {kAck, firstOfAll}, {kAck, ""}, {kNak, ""}} + start("ra") +
        blocks(allText)},
    {"silentAfterEot", "silent-after-eot", start("rt", "") + readClock},
    {"silentClosings", "silent-closings",
     start("ru") + Script{{kAck, clockFrame}, {kAck, clockFrame}, {kAck, ""}} + readClock},
};
// clang-format on

// The device in zero-delay mode, on 05.12.26 at 12:45:30, holding the three days above: every
// message from the PC is answered at once, byte for byte as scripted.
TEST(LightBarrier, ExchangesGoByteForByteAsScripted) {
    for (const Exchange& e : exchanges) {
        SCOPED_TRACE(e.name);
        LightBarrier device{Timing::instant()};
        double t = 100.0;
        device.setClock({{2026, 12, 5}, 12, 45, 30}, t);
        device.memory = {{{2026, 12, 3}, {{8, 10, 2}}},
                         {{2026, 12, 4}, {}},
                         {{2026, 12, 5}, {{13, 37, 7}, {14, 0x1234, 1}}}};
        ASSERT_TRUE(*e.fault == '\0' || setFault(device.faults, e.fault, 1));
        for (std::size_t i = 0; i < e.script.size(); ++i) {
            device.receive(e.script[i].first, t += 0.01);
            ASSERT_EQ(device.transmit(t), e.script[i].second) << "step " << i;
        }
        EXPECT_EQ(device.transmit(t + 10.0), "") << "nothing more";
    }
}

// Today holds the hours up to the current one, as they were; the days before hold all.
TEST(LightBarrier, TodayHoldsNoCountsPastTheCurrentHour) {
    auto upToNoon = generateDays({2026, 12, 5}, 2, 1);
    ASSERT_GT(std::erase_if(upToNoon[1].records, [](auto& r) { return r.hour > 12; }), 0u);
    EXPECT_EQ(generateDays({2026, 12, 5}, 2, 1, 12), upToNoon);
}

} // namespace
} // namespace orva::sim
