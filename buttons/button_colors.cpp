// The colour scheme: system palette, custom text colours, derived face
// palette.
#include "button_colors.h"
#include "button_registry.h"

#include <algorithm>

namespace button_colors {

namespace {

constexpr float kLightnessScale = 0.0019607844f;  // just above 1/510
constexpr float kHueSlope = 0.016666668f;         // just above 1/60
constexpr float kHighlightBlend = 0.6666667f;     // just above 2/3
constexpr COLORREF kDarkShadow = RGB(64, 64, 64);

int truncatedByte(double value)
{
    return static_cast<int>(value) & 0xFF;
}

}  // namespace

Hsl rgbToHsl(COLORREF colour)
{
    const int r = GetRValue(colour);
    const int g = GetGValue(colour);
    const int b = GetBValue(colour);
    const int maxC = std::max({r, g, b});
    const int minC = std::min({r, g, b});
    const int sum = maxC + minC;
    const int delta = maxC - minC;

    Hsl hsl{0.0f, 0.0f, 0.0f};
    const double lightness = sum * static_cast<double>(kLightnessScale);
    hsl.lightness = static_cast<float>(lightness);
    if (maxC == minC)
        return hsl;

    const double reciprocal = 1.0 / delta;
    const float rc = static_cast<float>((maxC - r) * reciprocal);
    const float gc = static_cast<float>((maxC - g) * reciprocal);
    const float bc = static_cast<float>((maxC - b) * reciprocal);
    hsl.saturation = static_cast<float>(lightness <= 0.5 ? static_cast<double>(delta) / sum
                                                         : static_cast<double>(delta) / (510 - sum));
    // Later tests win when two channels share the maximum.
    if (r == maxC)
        hsl.hue = static_cast<float>((static_cast<double>(bc) + 6.0 - gc) * 60.0);
    if (g == maxC)
        hsl.hue = static_cast<float>((static_cast<double>(rc) + 2.0 - bc) * 60.0);
    if (b == maxC)
        hsl.hue = static_cast<float>((static_cast<double>(gc) + 4.0 - rc) * 60.0);
    if (hsl.hue > 360.0f)
        hsl.hue = static_cast<float>(static_cast<double>(hsl.hue) - 360.0);
    return hsl;
}

int hueToChannel(float m1, float m2, double hue)
{
    if (hue > 360.0)
        hue -= 360.0;
    else if (hue < 0.0)
        hue += 360.0;
    const double span = static_cast<double>(m2) - m1;
    double value;
    if (hue < 60.0)
        value = (span * hue * kHueSlope + m1) * 255.0;
    else if (hue < 180.0)
        value = static_cast<double>(m2) * 255.0;
    else if (hue < 240.0)
        value = (span * (240.0 - hue) * kHueSlope + m1) * 255.0;
    else
        value = static_cast<double>(m1) * 255.0;
    return truncatedByte(value);
}

COLORREF hslToRgb(float hue, float lightness, float saturation)
{
    if (saturation == 0.0f) {
        const int v = truncatedByte(static_cast<double>(lightness) * 255.0);
        return RGB(v, v, v);
    }
    const double l = lightness;
    const double s = saturation;
    const float m2 = static_cast<float>(lightness <= 0.5f ? (s + 1.0) * l : (l + s) - l * s);
    const float m1 = static_cast<float>(2.0 * l - m2);
    const float redHue = static_cast<float>(static_cast<double>(hue) + 120.0);
    const float blueHue = static_cast<float>(static_cast<double>(hue) - 120.0);
    const int red = hueToChannel(m1, m2, redHue);
    const int green = hueToChannel(m1, m2, hue);
    const int blue = hueToChannel(m1, m2, blueHue);
    return RGB(red, green, blue);
}

FacePalette deriveFacePalette(COLORREF face)
{
    const Hsl hsl = rgbToHsl(face);
    const double l = hsl.lightness;
    const float highlightLightness = static_cast<float>((1.0 - l) * kHighlightBlend + l);
    const float shadowLightness = static_cast<float>(l * 0.5);
    FacePalette palette;
    palette.highlight = hslToRgb(hsl.hue, highlightLightness, hsl.saturation);
    palette.light = face;
    palette.darkShadow = kDarkShadow;
    palette.shadow = hslToRgb(hsl.hue, shadowLightness, hsl.saturation);
    return palette;
}

}  // namespace button_colors

void HookedButton::readSystemTextColors()
{
    textColor = GetSysColor(COLOR_BTNTEXT);
    hotTextColor = GetSysColor(COLOR_HOTLIGHT);
}

void HookedButton::readSystemFaceColors()
{
    faceColor = GetSysColor(COLOR_BTNFACE);
    lightColor = GetSysColor(COLOR_3DLIGHT);
    shadowColor = GetSysColor(COLOR_BTNSHADOW);
    highlightColor = GetSysColor(COLOR_BTNHIGHLIGHT);
    darkShadowColor = GetSysColor(COLOR_3DDKSHADOW);
}

void HookedButton::setSysColors()
{
    readSystemFaceColors();
    readSystemTextColors();
    textColorsFromSystem = true;
    faceColorsFromSystem = true;
    redraw();
}

void HookedButton::setFaceColor(COLORREF face)
{
    const button_colors::FacePalette palette = button_colors::deriveFacePalette(face);
    faceColor = face;
    highlightColor = palette.highlight;
    lightColor = palette.light;
    darkShadowColor = palette.darkShadow;
    shadowColor = palette.shadow;
    faceColorsFromSystem = false;
    redraw();
}
