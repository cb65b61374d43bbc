// The running program's version information where the platform keeps none
// in the executable: the numbers and strings the build supplies.
#include "version_info.h"

namespace capacimo::host {

VersionBlock ReadProgramVersionBlock() { return BuildVersionBlock(); }

}  // namespace capacimo::host
