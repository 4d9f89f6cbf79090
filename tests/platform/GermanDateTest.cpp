#include "platform/GermanDate.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(GermanDate, ParsesAsTheGermanRegionalSettingsDo) {
    const std::pair<const char*, Date> valid[] = {
        {"02.11.94", {1994, 11, 2}},   {"1.2.03", {2003, 2, 1}},    {"31.12.2026", {2026, 12, 31}},
        {" 05.12.26 ", {2026, 12, 5}}, {"29.01.29", {2029, 1, 29}}, {"01.01.30", {1930, 1, 1}},
        {"5/12/26", {2026, 12, 5}},    {"5.12.", {2026, 12, 5}},    {"5.12", {2026, 12, 5}},
        {"29.02.2000", {2000, 2, 29}}};
    for (const auto& [typed, date] : valid) {
        EXPECT_EQ(parseGermanDate(typed, 2026), date) << typed;
    }
    for (const char* typed : {"31.02.94", "29.02.1900", "29.02.27", "00.01.94", "1.13.94", "", "12",
                              "1.2.3.4", "1.2/94", "a.b.cc", "1..94", "123.1.94", "1.1.12345"}) {
        EXPECT_EQ(parseGermanDate(typed, 2026), std::nullopt) << typed;
    }
}

// The latest year not after the PC's tomorrow; each row: device's date, PC's date, date meant.
TEST(GermanDate, CountDataYearIsTheLatestUpToTomorrow) {
    const char* const cases[][3] = {
        {"02.11.94", "07.12.2026", "02.11.1994"}, {"31.12.29", "30.12.2029", "31.12.2029"},
        {"01.01.30", "30.12.2029", "01.01.1930"}, {"01.01.30", "31.12.2029", "01.01.2030"},
        {"29.02.00", "01.03.2100", "29.02.2000"}, {"31.02.26", "07.12.2026", "00.00.0000"}};
    for (const auto& [text, today, date] : cases) {
        const auto d = countDataDate(text, *parseGermanDate(today, 0)).value_or(Date{});
        EXPECT_EQ(formatShortDate(d), date) << text << " on " << today;
    }
}

TEST(GermanDate, FormatsWithTwoDigitFields) {
    const DateTime t{{2003, 3, 1}, 7, 5, 9};
    EXPECT_EQ(formatDateTwoDigitYear(t.date), "01.03.03");
    EXPECT_EQ(formatTime(t), "07:05:09");
}

} // namespace
} // namespace orva
