#include "platform/GermanDate.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

struct DateCase {
    const char* typed;
    std::optional<Date> expected;
};

class GermanDateParse : public testing::TestWithParam<DateCase> {};

TEST_P(GermanDateParse, FollowsGermanRegionalRules) {
    EXPECT_EQ(parseGermanDate(GetParam().typed, 2026), GetParam().expected) << GetParam().typed;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GermanDateParse,
    testing::Values(DateCase{"02.11.94", Date{1994, 11, 2}}, DateCase{"1.2.03", Date{2003, 2, 1}},
                    DateCase{"31.12.2026", Date{2026, 12, 31}},
                    DateCase{" 05.12.26 ", Date{2026, 12, 5}},
                    DateCase{"29.01.29", Date{2029, 1, 29}}, DateCase{"01.01.30", Date{1930, 1, 1}},
                    DateCase{"5/12/26", Date{2026, 12, 5}}, DateCase{"5.12.", Date{2026, 12, 5}},
                    DateCase{"5.12", Date{2026, 12, 5}}, DateCase{"29.02.2000", Date{2000, 2, 29}},
                    DateCase{"31.02.94", std::nullopt}, DateCase{"29.02.1900", std::nullopt},
                    DateCase{"29.02.27", std::nullopt}, DateCase{"00.01.94", std::nullopt},
                    DateCase{"1.13.94", std::nullopt}, DateCase{"", std::nullopt},
                    DateCase{"12", std::nullopt}, DateCase{"1.2.3.4", std::nullopt},
                    DateCase{"1.2/94", std::nullopt}, DateCase{"a.b.cc", std::nullopt},
                    DateCase{"1..94", std::nullopt}, DateCase{"123.1.94", std::nullopt},
                    DateCase{"1.1.12345", std::nullopt}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GermanDate, FormatsWithTwoDigitFields) {
    const DateTime t{{2026, 3, 1}, 7, 5, 9};
    EXPECT_EQ(formatShortDate(t.date), "01.03.2026");
    EXPECT_EQ(formatDateTwoDigitYear(t.date), "01.03.26");
    EXPECT_EQ(formatTime(t), "07:05:09");
    EXPECT_EQ(zeroPadded(37, 5), "00037");
    EXPECT_EQ(zeroPadded(255, 2), "255");
}

} // namespace
} // namespace orva
