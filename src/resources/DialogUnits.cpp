#include "resources/DialogUnits.h"

#include <cstdint>

namespace hvx {

int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (product < 0 ? -product : product) + half;
    const int64_t quotient = magnitude / (c < 0 ? -static_cast<int64_t>(c) : c);
    return static_cast<int>(negative ? -quotient : quotient);
}

int FontPixelHeight(int points, int dpi) {
    return MulDiv(points, dpi, 72);
}

DialogBaseUnits BaseUnitsFromFont(int alphabetWidth, int fontHeight) {
    const int letters = static_cast<int>(kBaseUnitAlphabet.size());
    DialogBaseUnits units;
    units.x = (alphabetWidth + letters / 2) / letters;
    units.y = fontHeight;
    // A font that measures nothing still gives a usable layout.
    if (units.x < 1) units.x = 1;
    if (units.y < 1) units.y = 1;
    return units;
}

PixelRect MapDialogRect(int x, int y, int cx, int cy, DialogBaseUnits units) {
    return {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4),
            MulDiv(cy, units.y, 8)};
}

}  // namespace hvx
