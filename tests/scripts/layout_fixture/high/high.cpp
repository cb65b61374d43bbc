#include "high/high.h"

QString high() { return QString::number(low()); }
