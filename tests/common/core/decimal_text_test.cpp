#include "common/core/decimal_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace capacimo {
namespace {

TEST(DecimalText, OnlyASignAndDigitsWithin32Bits) {
    EXPECT_EQ(parseDecimal("42"), 42);
    EXPECT_EQ(parseDecimal("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseDecimal("+2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(parseDecimal("007"), 7);
    EXPECT_EQ(parseDecimal("-0"), 0);
    for (const char* bad : {"", "-", "+", "2147483648", "-2147483649", "99999999999999999999", "12a", " 5", "5 ",
                            "0x10", "1.5", "1,5", "letters", "--1", "+-1"}) {
        EXPECT_EQ(parseDecimal(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(parseDecimal("\xD9\xA3"), std::nullopt);  // an Arabic-Indic digit is no digit here
    EXPECT_EQ(trimBlanks(" \t7 5\r\n"), "7 5");
    EXPECT_EQ(trimBlanks(" \t "), "");
}

// As the settings store keeps a number.
TEST(DecimalText, StoredNumbersAreDecimalTextWithin32Bits) {
    EXPECT_EQ(parseDecimal("17"), 17);
    EXPECT_EQ(parseDecimal("-3"), -3);
    EXPECT_EQ(parseDecimal("+4"), 4);
    EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
    for (const char* junk : {"", "+", "-", "+-1", "1.5", " 1", "1 ", "0x10", "2147483648", "abc", "1e3"}) {
        EXPECT_EQ(parseDecimal(junk), std::nullopt) << junk;
    }
}

}  // namespace
}  // namespace capacimo
