// Colours as a design gives them, and how well text in one stands out from a
// background, as the accessibility guidelines for the web measure it (WCAG
// 2): the dialog's status line, a plant's states and the web page's colours
// all follow this one rule. Standard library only.
#pragma once

#include <string>

namespace capacimo {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Relative luminance of a colour: 0 for black, 1 for white.
double relativeLuminance(const Rgb& colour);

// From 1 (the same luminance) to 21 (black on white); order does not matter.
double contrastRatio(const Rgb& a, const Rgb& b);

// The guidelines' least contrast for ordinary text.
inline constexpr double kReadableContrast = 4.5;

// The colour to draw `wanted` text in on `background`. On a light background
// (one that black text stands out from better than white) the design's colour
// as it is; on a dark one, the design's colour lightened toward white just
// enough to reach kReadableContrast.
Rgb readableOn(const Rgb& wanted, const Rgb& background);

// "#b00000", as a style sheet writes a colour.
std::string hexColour(const Rgb& colour);

}  // namespace capacimo
