// The program's icon (packaging/capacimo.svg, rendered by the build in the
// sizes the desktop asks for), for the windows of the host and its units.
#pragma once

#include <QIcon>

namespace capacimo {

QIcon programIcon();

}  // namespace capacimo
