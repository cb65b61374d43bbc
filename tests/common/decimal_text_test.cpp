#include "common/decimal_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <limits>

namespace capacimo {
namespace {

TEST(DecimalText, OnlyASignAndDigitsWithin32Bits) {
    EXPECT_EQ(parseDecimal(u"42"), 42);
    EXPECT_EQ(parseDecimal(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseDecimal(u"+2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(parseDecimal(u"007"), 7);
    EXPECT_EQ(parseDecimal(u"-0"), 0);
    for (const char* bad : {"", "-", "+", "2147483648", "-2147483649", "99999999999999999999", "12a", " 5", "5 ",
                            "0x10", "1.5", "1,5", "letters", "--1", "+-1"}) {
        EXPECT_EQ(parseDecimal(QString::fromLatin1(bad)), std::nullopt) << bad;
    }
    EXPECT_EQ(parseDecimal(QString::fromUtf8("\xD9\xA3")), std::nullopt);  // an Arabic-Indic digit is no digit here
}

}  // namespace
}  // namespace capacimo
