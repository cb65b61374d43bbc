// The contrast rule every colour of the program follows: the guidelines'
// figures, and a design colour kept on light backgrounds and lightened just
// enough on dark ones.
#include "common/core/colour.h"

#include <gtest/gtest.h>

namespace capacimo {
namespace {

TEST(Colour, ContrastAsTheGuidelinesMeasureIt) {
    EXPECT_NEAR(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio({255, 0, 0}, {255, 255, 255}), 4.0, 0.01);  // pure red: too light on white
    EXPECT_NEAR(contrastRatio({176, 0, 0}, {255, 255, 255}), 7.38, 0.01);
    EXPECT_EQ(hexColour({176, 0, 0}), "#b00000");
    for (const Rgb dark : {Rgb{22, 22, 22}, Rgb{38, 38, 38}, Rgb{60, 0, 60}}) {
        for (const Rgb wanted : {Rgb{176, 0, 0}, Rgb{0, 0, 255}, Rgb{90, 90, 90}}) {
            const Rgb shown = readableOn(wanted, dark);
            EXPECT_GE(contrastRatio(shown, dark), kReadableContrast);
            // Just enough: a shade less light would not do.
            const Rgb less{std::max(shown.red - 3, wanted.red), std::max(shown.green - 3, wanted.green),
                           std::max(shown.blue - 3, wanted.blue)};
            EXPECT_LT(contrastRatio(less, dark), kReadableContrast + 0.2);
        }
    }
    EXPECT_EQ(readableOn({176, 0, 0}, {255, 255, 255}), (Rgb{176, 0, 0}));  // light: as designed
}

}  // namespace
}  // namespace capacimo
