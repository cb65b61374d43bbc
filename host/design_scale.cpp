#include "design_scale.h"

#include <cmath>

#include <QWidget>

namespace capacimo {

int DesignScaled(const QWidget* form, int value) {
  return static_cast<int>(std::lround(value * form->logicalDpiY() / kDesignPixelsPerInch));
}

}  // namespace capacimo
