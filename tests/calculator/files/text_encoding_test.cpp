// Texts from other programs: UTF-8 told from Windows-1252, the characters a
// name must not hold, and the columns a terminal gives a text.
#include "calculator/files/text_encoding.h"

#include <gtest/gtest.h>

namespace capacimo {
namespace {

TEST(TextEncoding, Utf8AndWindows1252) {
    EXPECT_TRUE(isUtf8("K\xC3\xB6ln \xF0\x9F\x98\x80"));
    for (const char* bad : {"K\xF6ln", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_FALSE(isUtf8(bad)) << bad;  // Latin-1, overlong, a surrogate half, beyond U+10FFFF, cut
    }
    EXPECT_EQ(utf8FromWindows1252("K\xF6ln \x80 \x9F \x81"), "K\xC3\xB6ln \xE2\x82\xAC \xC5\xB8 \xC2\x81");
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_TRUE(isUtf8(utf8FromWindows1252(all)));  // every byte becomes a character
}

TEST(TextEncoding, CharactersANameMustNotHold) {
    EXPECT_EQ(hiddenCharacter("Boiler 1"), std::nullopt);
    EXPECT_EQ(hiddenCharacter("e\xE2\x80\xAEvil"), U'\x202E');
    EXPECT_EQ(hiddenCharacter("a\xEF\xBB\xBF"), U'\xFEFF');
    EXPECT_EQ(hiddenCharacter("a\xC2\x85"), U'\x85');
    EXPECT_TRUE(isControlCharacter(*hiddenCharacter("a\tb")));
    EXPECT_FALSE(isControlCharacter(*hiddenCharacter("\xE2\x81\xA6x")));  // an isolate
    EXPECT_EQ(withoutHiddenCharacters("a\tb\xE2\x80\xAE"
                                      "c\xFF"),
              "a b c\xFF");
    EXPECT_EQ(codePointText(0x202E), "U+202E");
}

TEST(TextEncoding, ColumnsAsATerminalShowsThem) {
    EXPECT_EQ(displayWidth("Gr\xC3\xBCne Linie 11 \xE2\x80\x93 \xC3\x96lkessel"), 25u);
    EXPECT_EQ(displayWidth("\xE7\x95\x8C\xE7\x95\x8C"), 4u);  // wide
    EXPECT_EQ(displayWidth("e\xCC\x81"), 1u);                 // e and a combining accent
    EXPECT_EQ(cutToWidth("Boiler house north", 10), "Boiler ho\xE2\x80\xA6");
    EXPECT_EQ(cutToWidth("Boiler", 10), "Boiler");
    EXPECT_EQ(cutToWidth("\xE7\x95\x8C\xE7\x95\x8C\xE7\x95\x8C", 4), "\xE7\x95\x8C\xE2\x80\xA6");  // whole characters
    EXPECT_LE(displayWidth(cutToWidth("\xE7\x95\x8C\xE7\x95\x8C\xE7\x95\x8C", 4)), 4u);
}

}  // namespace
}  // namespace capacimo
