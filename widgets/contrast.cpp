#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>

namespace capacimo::widgets {
namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor towardWhite(const QColor& c, double part) {
    auto mix = [part](double v) { return v + (1.0 - v) * part; };
    return QColor::fromRgbF(static_cast<float>(mix(c.redF())), static_cast<float>(mix(c.greenF())),
                            static_cast<float>(mix(c.blueF())));
}

}  // namespace

double relativeLuminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background) {
    const bool light = contrastRatio(background, Qt::black) >= contrastRatio(background, Qt::white);
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

}  // namespace capacimo::widgets
