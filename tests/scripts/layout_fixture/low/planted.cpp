// A climb into the library above, a Qt header in a library without Qt, and a
// header that no library lists.
#include <QString>

#include "high/high.h"
#include "low/unlisted.h"
