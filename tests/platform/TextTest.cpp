#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(Text, EveryWindows1252ByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Text, UmlautsAndEuroAreSingleBytesInFiles) {
    EXPECT_EQ(utf8ToCp1252("Zähldaten muß €"), "Z\xe4hldaten mu\xdf \x80");
    EXPECT_EQ(cp1252ToUtf8("\xc4\xd6\xdc\x80"), "ÄÖÜ€");
    // Characters outside the code page and broken UTF-8 cannot be stored as they are.
    EXPECT_EQ(utf8ToCp1252("a\xe2\x82"), "a?");
    EXPECT_EQ(utf8ToCp1252("日"), "?");
}

} // namespace
} // namespace orva
