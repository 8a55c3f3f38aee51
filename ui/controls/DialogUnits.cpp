#include "ui/controls/DialogUnits.h"

#include <cstdlib>

#include <QFontMetrics>

#include "ui/controls/FontMapping.h"

namespace ravolin {

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long divisor = std::llabs(denominator);
    const long long magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return static_cast<int>((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

BaseUnits dialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const DialogRect& rect, BaseUnits units) {
    return {MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8), MulDiv(rect.cx, units.x, 4),
            MulDiv(rect.cy, units.y, 8)};
}

LogFont templateLogFont(const DialogTemplate& dialog, int dpi) {
    LogFont font;
    font.lfHeight = heightFromPoints(dialog.fontPointSize, dpi);
    font.lfWeight = dialog.fontWeight;
    font.lfCharSet = dialog.fontCharSet;
    font.lfFaceName = std::string(dialog.fontFace);
    return font;
}

}  // namespace ravolin
