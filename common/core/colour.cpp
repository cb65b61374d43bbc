#include "common/core/colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace capacimo {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb towardWhite(const Rgb& c, double part) {
    const auto mix = [part](int v) { return static_cast<int>(std::lround(v + (255 - v) * part)); };
    return {mix(c.red), mix(c.green), mix(c.blue)};
}

}  // namespace

double relativeLuminance(const Rgb& c) {
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double contrastRatio(const Rgb& a, const Rgb& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb readableOn(const Rgb& wanted, const Rgb& background) {
    const bool light = contrastRatio(background, kBlack) >= contrastRatio(background, kWhite);
    if (light || contrastRatio(wanted, background) >= kReadableContrast) return wanted;
    // Lightening only raises the contrast to a dark background, and white
    // itself reaches the target there, so halving the step finds the least
    // lightening that does.
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 16; ++step) {
        const double mid = (low + high) / 2;
        (contrastRatio(towardWhite(wanted, mid), background) >= kReadableContrast ? high : low) = mid;
    }
    return towardWhite(wanted, high);
}

std::string hexColour(const Rgb& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF);
    return text;
}

}  // namespace capacimo
