#include "common/decimal_text.h"

#include <limits>

namespace capacimo {

std::optional<std::int32_t> parseDecimal(QStringView text) {
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) ++i;
    if (i == text.size()) return std::nullopt;
    // Accumulated as a negative number, so that the smallest value fits.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 - (c - u'0');
        if (value < std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace capacimo
