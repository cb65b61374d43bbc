// Texts as other programs write them: UTF-8, UTF-16 with a byte order mark
// (a spreadsheet's "Unicode text"), and Windows-1252, the code page of
// Western European Windows in which a spreadsheet there writes "CSV". The
// program itself holds and writes UTF-8 only. Standard library only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace capacimo {

// Whether the bytes are UTF-8: each character in its shortest form, no
// surrogate halves, nothing beyond U+10FFFF.
bool isUtf8(std::string_view text);

// A character appended as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves unused
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same
// number, as browsers decode them, so that no byte is lost.
std::string utf8FromWindows1252(std::string_view bytes);

// A character a recorder's name must not hold, the first one found in a
// UTF-8 text: a control character (a line break, a tab, ESC, C1 controls), or
// one of the invisible characters that change how the text around them
// shows: a byte order mark inside the text (U+FEFF) and the direction
// overrides and isolates (U+202A..U+202E, U+2066..U+2069), with which
// "evil" can show as "live". Nothing for a clean text.
std::optional<char32_t> hiddenCharacter(std::string_view text);
// Whether hiddenCharacter found a control character rather than a formatting one.
bool isControlCharacter(char32_t c);
// The text with each such character replaced by a blank.
std::string withoutHiddenCharacters(std::string_view text);
// How many columns a terminal gives a text: most characters one, the wide
// ones of East Asian scripts (and emoji) two, combining marks and invisible
// characters none. Bytes that are not UTF-8 count one each.
std::size_t displayWidth(std::string_view text);
// The text cut to at most `width` columns, "…" at the end of a text that was
// cut (whole characters only).
std::string cutToWidth(std::string_view text, std::size_t width);

// "U+202E", as a message names such a character.
std::string codePointText(char32_t c);

}  // namespace capacimo
