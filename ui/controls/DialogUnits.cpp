#include "ui/controls/DialogUnits.h"

#include <algorithm>
#include <cstdlib>

#include <QFontInfo>
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
    // The dialogs' Windows face and IPAPGothic, which draws it here, are one pixel taller than their size. A face
    // drawing in their place with a taller line (Noto Sans CJK: a half more) would stretch every dialog by as
    // much: the height unit is kept to what the dialogs were laid out for.
    const int pixels = QFontInfo(font).pixelSize();
    return {(width / 26 + 1) / 2, pixels > 0 ? std::min(metrics.height(), pixels + 1) : metrics.height()};
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
