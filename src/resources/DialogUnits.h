// Dialog units to pixels, the way dialog templates are laid out: the base units come from the
// dialog font, horizontal units are a quarter of the average character width and vertical
// units an eighth of the font height.
#pragma once

#include <string_view>

namespace hvx {

// The letters whose average width is the horizontal base unit.
inline constexpr std::string_view kBaseUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct DialogBaseUnits {
    int x = 0;  // average character width, pixels
    int y = 0;  // font height, pixels
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c);

// The pixel height of a font of this many points on a screen of dpi dots per inch.
int FontPixelHeight(int points, int dpi);

// alphabetWidth: the width of kBaseUnitAlphabet in the dialog font; fontHeight: its ascent
// plus descent.
DialogBaseUnits BaseUnitsFromFont(int alphabetWidth, int fontHeight);

PixelRect MapDialogRect(int x, int y, int cx, int cy, DialogBaseUnits units);

}  // namespace hvx
