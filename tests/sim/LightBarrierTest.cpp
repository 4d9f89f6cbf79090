#include "sim/LightBarrier.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>

using namespace orva::sim;

namespace {

const std::string ack = "\x16\x06";
const std::string nak = "\x16\x15";
const std::string eot = "\x16\x04";
const std::string wake = "\x16\x16\x16\x16\x16\x05";

std::string command(std::string_view letters) {
    return "\x16\x02" + std::string(letters) + "\x03";
}
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
// 12:45:30 on 05.12.26.
const std::string clockFrame = "\x16\x02"
                               "1E2D0C050C1A" +
                               std::string(20, '0') + "\x03";
const std::string firstOfAll = "\x16\x02" + allText.substr(0, 32) + "\x17";
const std::string secondOfAll = "\x16\x02" + allText.substr(32, 32) + "\x17";

struct Step {
    std::string send;
    std::string answer;
};

using Script = std::vector<Step>;

Script start(std::string_view letters, std::string turnAnswer = wake) {
    return {{wake, ack}, {command(letters), ack}, {command(letters), ack}, {eot, turnAnswer}};
}
Script operator+(Script a, const Script& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Script readClock = start("ru") + Script{{ack, clockFrame}, {ack, clockFrame}, {ack, eot}};

// The case tables below print as their case names.
template <class Case> auto operator<<(std::ostream& os, const Case& c) -> decltype(c.name, os) {
    return os << c.name;
}
const auto caseName = [](const auto& info) { return std::string(info.param.name); };

class LightBarrierTest : public ::testing::Test {
protected:
    LightBarrierTest() {
        device.setClock({{2026, 12, 5}, 12, 45, 30}, t);
        device.memory = {{{2026, 12, 3}, {{8, 10, 2}}},
                         {{2026, 12, 4}, {}},
                         {{2026, 12, 5}, {{13, 37, 7}, {14, 0x1234, 1}}}};
    }
    // The PC's side in zero-delay mode: every message is answered at once.
    std::string send(std::string_view bytes) {
        device.receive(bytes, t += 0.01);
        return device.transmit(t);
    }
    void run(const Script& script) {
        for (std::size_t i = 0; i < script.size(); ++i) {
            ASSERT_EQ(send(script[i].send), script[i].answer) << "step " << i;
        }
    }

    double t = 100.0;
    LightBarrier device{Timing::instant()};
};

struct ReadCase {
    const char* name;
    std::string letters;
    std::string text;
};

class ReadCommand : public LightBarrierTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadCommand, SendsItsTextAsBlocksEachTwiceThenTwoClosingCharacters) {
    run(start(GetParam().letters));
    std::string text;
    std::string block;
    do {
        block = send(ack);
        ASSERT_EQ(block.size(), 35u);
        EXPECT_EQ(block.substr(0, 2), "\x16\x02");
        EXPECT_EQ(send(ack), block) << "repeat copy";
        text += block.substr(2, 32);
        ASSERT_LE(text.size(), GetParam().text.size());
        EXPECT_EQ(block.back(), text.size() == GetParam().text.size() ? '\x03' : '\x17');
    } while (block.back() != '\x03');
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(send(ack), eot) << "closing characters";
    EXPECT_EQ(device.transmit(t + 10.0), "");
}

INSTANTIATE_TEST_SUITE_P(Commands, ReadCommand,
                         ::testing::Values(ReadCase{"today", "rt", day5 + endMarker + "FFFF"},
                                           ReadCase{"all", "ra", allText},
                                           ReadCase{"fromHeldDate", "rab04:12:26",
                                                    day4 + day5 + endMarker + std::string(18, 'F')},
                                           ReadCase{"clock", "ru", clockFrame.substr(2, 32)}),
                         caseName);

TEST_F(LightBarrierTest, TodayIsTheDeviceClockDateAndMovesOnAtMidnight) {
    device.setClock({{2026, 12, 4}, 23, 59, 58}, t);
    EXPECT_EQ(device.answerText("rt", t), day4 + endMarker + std::string(28, 'F'));
    EXPECT_EQ(device.clock(t + 3.0), (ClockTime{{2026, 12, 5}, 0, 0, 1}));
    EXPECT_EQ(device.answerText("rt", t + 3.0), day5 + endMarker + "FFFF");
    device.setClock({{2026, 12, 6}, 8, 0, 0}, t);
    EXPECT_EQ(device.answerText("rt", t), endMarker + std::string(14, 'F'))
        << "a day it does not hold: the end marker alone";
}

// Exchanges that go wrong, with the fault that makes them go wrong (if any).
struct ExchangeCase {
    const char* name;
    const char* fault;
    int n;
    Script script;
};

class Exchange : public LightBarrierTest, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(Exchange, GoesByteForByteAsScripted) {
    if (*GetParam().fault != '\0') {
        ASSERT_TRUE(setFault(device.faults, GetParam().fault, GetParam().n));
    }
    run(GetParam().script);
}

// clang-format off
const ExchangeCase exchangeCases[] = {
    {"nakRestartsTheBlock", "", 0, start("ra") + Script{{ack, firstOfAll}, {nak, firstOfAll},
        {ack, firstOfAll}, {nak, firstOfAll}, {ack, firstOfAll}, {ack, secondOfAll}}},
    {"fromDateOfAnotherYear", "", 0, start("rab05:12:25", "")},
    {"fromMalformedDate", "", 0, start("rabxx:12:26", "")},
    {"unknownCommand", "", 0,
     {{command("rt"), ""}, {wake, ack}, {command("xy"), nak}, {command("rab"), nak}, {eot, ""}}},
    {"partialMessages", "", 0, {{"\x16\x16\x16\x16\x05", ""}, {"\x16\x16\x16", ""},
        {"\x16\x16\x05", ack}, {"\x16\x02r", ""}, {command("ru"), ack},
        {command(std::string(40, 'r')), ""}}},
    {"wakeUpsEndAnyExchange", "", 0,
     start("ra") + Script{{ack, firstOfAll}} + start("wu", "") + readClock},
    {"silentWakeUps", "silent-wake-ups", 2, Script{{wake, ""}, {wake, ""}} + readClock},
    {"wrongWakeUpAnswers", "wrong-wake-up-answers", 1, Script{{wake, nak}} + readClock},
    {"unacknowledgedCommands", "unacknowledged-commands", 1,
     Script{{wake, ack}, {command("ru"), ""}, {eot, ""}} + readClock},
    {"nakClockBlocks", "nak-clock-blocks", 1,
     start("wu", "") + Script{{wake, ack}, {"\x16\x02" "30:45:12:05:12:2\x17", nak}}},
    {"badHeaders", "bad-headers", 1, start("ru") + Script{{ack, withByte(clockFrame, 1, '\x03')}}},
    {"corruptedRepeats", "corrupted-repeats", 1,
     start("ru") + Script{{ack, clockFrame}, {ack, withByte(clockFrame, 18, '1')}}},
    {"wrongOwnWakeUps", "wrong-own-wake-ups", 1, start("ru", withByte(wake, 1, '\x17')) +
        Script{{ack, clockFrame}, {ack, clockFrame}, {ack, eot}} + readClock},
    {"missingRepeats", "missing-repeats", 1, start("ru") + Script{{ack, clockFrame}, {ack, ""}}},
    {"stopAfterBlocks", "stop-after-blocks", 1, readClock + start("ra") +
        Script{{ack, firstOfAll}, {ack, firstOfAll}, {ack, ""}, {nak, ""}} + start("ra") +
        Script{{ack, firstOfAll}, {ack, firstOfAll}, {ack, secondOfAll}}},
    {"silentAfterEot", "silent-after-eot", 1, start("rt", "") + readClock},
    {"silentClosings", "silent-closings", 1,
     start("ru") + Script{{ack, clockFrame}, {ack, clockFrame}, {ack, ""}} + readClock},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Scripts, Exchange, ::testing::ValuesIn(exchangeCases), caseName);

TEST(FaultList, EverySwitchIsScriptedAboveAndUnknownNamesAreRefused) {
    std::set<std::string_view> scripted;
    for (const ExchangeCase& c : exchangeCases) {
        scripted.insert(c.fault);
    }
    for (const FaultInfo& f : faultList()) {
        EXPECT_TRUE(scripted.count(f.name)) << f.name;
    }
    Faults faults;
    EXPECT_FALSE(setFault(faults, "silent", 1));
}

struct ClockSetCase {
    const char* name;
    std::string first;
    std::string second; // empty: not sent
    std::string firstAnswer;
    bool applied;
};

class SetClock : public LightBarrierTest, public ::testing::WithParamInterface<ClockSetCase> {};

TEST_P(SetClock, AppliesACompletePairOfValidBlocksAtTheClosingEot) {
    const ClockSetCase& c = GetParam();
    device.setClock({{2000, 1, 1}, 0, 0, 0}, t);
    const std::string first = "\x16\x02" + c.first + "\x17";
    const std::string second = "\x16\x02" + c.second + "\x03";
    Script script =
        start("wu", "") + Script{{wake, ack}, {first, c.firstAnswer}, {first, c.firstAnswer}};
    if (!c.second.empty()) {
        script = script + Script{{second, ack}, {second, ack}};
    }
    run(script + Script{{eot, ""}});
    t += 5.0;
    const std::string expected = c.applied ? "232D0C050C1A" : "050000010100";
    EXPECT_EQ(device.answerText("ru", t).value_or("").substr(0, 12), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SetClock,
    ::testing::Values(ClockSetCase{"valid", "30:45:12:05:12:2", "026", ack, true},
                      ClockSetCase{"withoutYearTail", "30:45:12:05:12:2", "", ack, false},
                      ClockSetCase{"minute60", "30:60:12:05:12:2", "026", nak, false},
                      ClockSetCase{"noColons", "30-45-12-05-12-2", "026", nak, false},
                      ClockSetCase{"noSuchDay", "00:00:12:29:02:2", "025", ack, false}),
    caseName);

TEST(Timing, AnswersComeAfterTheReactionDelayAtOneByteTimeEach) {
    LightBarrier device(Timing{0.005, 0.001});
    device.receive(wake, 10.0);
    EXPECT_EQ(device.transmit(10.0059), "");
    EXPECT_EQ(device.transmit(10.0061), "\x16");
    EXPECT_NEAR(device.nextByteAt().value_or(0.0), 10.007, 1e-9);
    EXPECT_EQ(device.transmit(10.0071), "\x06");
    EXPECT_EQ(device.nextByteAt(), std::nullopt);

    device.receive(command("ru") + eot, 11.0);
    EXPECT_EQ(device.transmit(11.0075), ack) << "the wake-up follows the acknowledgement";
    device.transmit(12.0);
    device.receive(ack, 12.0);
    const double nakAt = 12.0389;
    EXPECT_EQ(device.transmit(nakAt).size(), 33u) << "35 bytes take 35 byte times";
    device.receive(nak, nakAt);
    EXPECT_EQ(device.transmit(12.0401).size(), 2u) << "the copy on the line is finished first";
    EXPECT_EQ(device.transmit(nakAt + 0.005 + 0.0349).size(), 34u)
        << "then, after the reaction delay, the first copy again";
    EXPECT_EQ(device.transmit(nakAt + 0.005 + 0.0351).size(), 1u);
}

TEST(CountText, DaysHeaderRecordsEndMarkerAndPadding) {
    const StoredDay example{{1994, 12, 31}, {{13, 37, 7}}};
    EXPECT_EQ(renderCountText(std::span(&example, 1)),
              "0000000000005E0C1F000D00250007" + endMarker + std::string(16, 'F'));
    const StoredDay extremes{{2000, 1, 2}, {{0, 0xFFFF, 0xABCD}}};
    EXPECT_EQ(renderCountText(std::span(&extremes, 1)), "000000000000000102"
                                                        "0000FFFFABCD" +
                                                            endMarker + std::string(16, 'F'));
}

TEST(GeneratedDays, DependOnSeedAndDateOnlyAndNeverLookLikeADayBoundary) {
    const std::vector<StoredDay> days = generateDays({2027, 1, 2}, 10, 7);
    ASSERT_EQ(days.size(), 10u);
    EXPECT_EQ(days.front().date, (CalendarDate{2026, 12, 24}));
    const std::vector<StoredDay> tail = generateDays({2027, 1, 2}, 3, 7);
    EXPECT_EQ(renderCountText(tail), renderCountText(std::span(days).subspan(7)));
    EXPECT_NE(renderCountText(generateDays({2027, 1, 2}, 3, 8)), renderCountText(tail));
    std::size_t records = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        EXPECT_TRUE(i == 0 || days[i].date == addDays(days[i - 1].date, 1));
        int lastHour = -1;
        for (const HourRecord& r : days[i].records) {
            EXPECT_TRUE(r.hour > lastHour && r.hour < 24 && r.links >= 1 && r.rechts >= 0);
            lastHour = r.hour;
            ++records;
        }
    }
    EXPECT_GT(records, 100u);
}

} // namespace
