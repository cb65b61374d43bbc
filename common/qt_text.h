// The core's texts are UTF-8 in std::string_view; Qt's are QString.
#pragma once

#include <QString>
#include <string_view>

namespace capacimo {

inline QString qText(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace capacimo
