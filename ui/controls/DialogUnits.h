#pragma once

#include <cstdint>

#include <QFont>
#include <QRect>

#include "resources/DialogTemplate.h"
#include "settings/FontDescription.h"

namespace ravolin {

// The horizontal and vertical dialog base units of a font, in pixels.
struct BaseUnits {
    int x = 0;
    int y = 0;

    bool operator==(const BaseUnits&) const = default;
};

// Windows' multiply-then-divide, rounding half away from zero.
int MulDiv(int number, int numerator, int denominator);

// As Windows derives them: x from the average width of a-z and A-Z, y from the font's height.
BaseUnits dialogBaseUnits(const QFont& font);

// A rectangle in dialog units converted to pixels (x and width scale by x / 4, y and height by y / 8).
QRect MapDialogRect(const DialogRect& rect, BaseUnits units);

// The font record of a template's font at `dpi`.
LogFont templateLogFont(const DialogTemplate& dialog, int dpi);

}  // namespace ravolin
