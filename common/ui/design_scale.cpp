#include "common/ui/design_scale.h"

#include <QWidget>
#include <cmath>

namespace capacimo {

int designScaled(const QWidget* form, int value) {
    return static_cast<int>(std::lround(value * form->logicalDpiY() / kDesignPixelsPerInch));
}

QFont designFont(const QWidget* form, int designPixelHeight) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(designScaled(form, designPixelHeight));
    return font;
}

}  // namespace capacimo
