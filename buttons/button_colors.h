// A button's palette: the system colours, or a face colour from which the
// 3D edge colours are derived through hue, saturation and lightness.
//
// The derivation keeps every stored intermediate in single precision and
// does the arithmetic between two stores in double precision; its results
// depend on exactly that, so the functions spell out each store.
#pragma once

#include <windows.h>

namespace button_colors {

struct Hsl {
    float hue;         // degrees, 0 to 360 inclusive
    float saturation;  // 0 to 1
    float lightness;   // 0 to 1
};

// The four colours that a face colour decides.
struct FacePalette {
    COLORREF light;
    COLORREF highlight;
    COLORREF shadow;
    COLORREF darkShadow;
};

Hsl rgbToHsl(COLORREF colour);
COLORREF hslToRgb(float hue, float lightness, float saturation);
// One channel byte from the two lightness bounds and a hue in degrees.
int hueToChannel(float m1, float m2, double hue);
FacePalette deriveFacePalette(COLORREF face);

}  // namespace button_colors
