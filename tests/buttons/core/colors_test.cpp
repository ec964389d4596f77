// The face palette derivation: the worked examples, a sweep against a
// reference written here from the single-precision rules, and proof that
// those rules matter.
#include "button_colors.h"
#include "core_fixture.h"

#include <cmath>

using namespace button_colors;

namespace {

struct PaletteCase {
    COLORREF face;
    COLORREF highlight;
    COLORREF shadow;
};

const PaletteCase kPaletteCases[] = {
    {RGB(212, 208, 200), RGB(240, 239, 236), RGB(115, 107, 90)},
    {RGB(255, 0, 0), RGB(255, 170, 170), RGB(127, 0, 0)},
    {RGB(128, 128, 128), RGB(212, 212, 212), RGB(64, 64, 64)},
    {RGB(255, 255, 255), RGB(255, 255, 255), RGB(127, 127, 127)},
    {RGB(0, 0, 0), RGB(170, 170, 170), RGB(0, 0, 0)},
    {RGB(102, 153, 204), RGB(204, 221, 238), RGB(38, 76, 114)},
};

// Every store goes through a volatile float, as the rules have it.
float stored(double v)
{
    volatile float f = static_cast<float>(v);
    return f;
}

int referenceChannel(float m1, float m2, double h)
{
    h = h > 360 ? h - 360 : (h < 0 ? h + 360 : h);
    const double k = stored(1.0 / 60.0);  // the slope constant is itself a float
    double v = h < 60 ? ((double(m2) - m1) * h * k + m1) * 255
             : h < 180 ? double(m2) * 255
             : h < 240 ? ((double(m2) - m1) * (240 - h) * k + m1) * 255
                       : double(m1) * 255;
    return static_cast<int>(v) & 0xFF;
}

COLORREF referenceRgb(float h, float l, float s)
{
    if (s == 0) {
        const int v = static_cast<int>(double(l) * 255) & 0xFF;
        return RGB(v, v, v);
    }
    const float m2 = stored(l <= 0.5 ? (double(s) + 1) * l : (double(l) + s) - double(l) * s);
    const float m1 = stored(2.0 * l - m2);
    return RGB(referenceChannel(m1, m2, stored(h + 120.0)), referenceChannel(m1, m2, h),
               referenceChannel(m1, m2, stored(h - 120.0)));
}

// Highlight and shadow by the single-precision rules.
std::pair<COLORREF, COLORREF> referencePalette(COLORREF c)
{
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
    const double product = (hi + lo) * double(stored(1.0 / 510.0));
    const float l = stored(product);
    float h = 0, s = 0;
    if (hi != lo) {
        const double inv = 1.0 / (hi - lo);
        const float rc = stored((hi - r) * inv), gc = stored((hi - g) * inv), bc = stored((hi - b) * inv);
        s = stored(product <= 0.5 ? double(hi - lo) / (hi + lo) : double(hi - lo) / (510 - hi - lo));
        if (r == hi) h = stored((double(bc) + 6 - gc) * 60);
        if (g == hi) h = stored((double(rc) + 2 - bc) * 60);
        if (b == hi) h = stored((double(gc) + 4 - rc) * 60);
        if (h > 360) h = stored(double(h) - 360);
    }
    const float lightHigh = stored((1.0 - l) * double(stored(2.0 / 3.0)) + l);
    const float lightLow = stored(double(l) * 0.5);
    return {referenceRgb(h, lightHigh, s), referenceRgb(h, lightLow, s)};
}

// The same formulas wholly in double precision with exact constants.
COLORREF doubleRgb(double h, double l, double s)
{
    auto channel = [](double m1, double m2, double hue) {
        hue = hue > 360 ? hue - 360 : (hue < 0 ? hue + 360 : hue);
        double v = hue < 60 ? ((m2 - m1) * hue / 60 + m1) * 255
                 : hue < 180 ? m2 * 255
                 : hue < 240 ? ((m2 - m1) * (240 - hue) / 60 + m1) * 255
                             : m1 * 255;
        return static_cast<int>(v) & 0xFF;
    };
    if (s == 0) {
        const int v = static_cast<int>(l * 255) & 0xFF;
        return RGB(v, v, v);
    }
    const double m2 = l <= 0.5 ? (s + 1) * l : (l + s) - l * s, m1 = 2 * l - m2;
    return RGB(channel(m1, m2, h + 120), channel(m1, m2, h), channel(m1, m2, h - 120));
}

std::pair<COLORREF, COLORREF> doublePalette(COLORREF c)
{
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
    const double l = (hi + lo) / 510.0;
    double h = 0, s = 0;
    if (hi != lo) {
        const double d = hi - lo;
        const double rc = (hi - r) / d, gc = (hi - g) / d, bc = (hi - b) / d;
        s = l <= 0.5 ? d / (hi + lo) : d / (510 - hi - lo);
        if (r == hi) h = (bc + 6 - gc) * 60;
        if (g == hi) h = (rc + 2 - bc) * 60;
        if (b == hi) h = (gc + 4 - rc) * 60;
        if (h > 360) h -= 360;
    }
    return {doubleRgb(h, l + (1 - l) * 2 / 3, s), doubleRgb(h, l / 2, s)};
}

template <class F>
void forSampledColours(F f)
{
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5)
                f(RGB(r, g, b));
}

}  // namespace

TEST(FacePalette, WorkedExamples)
{
    for (const PaletteCase& c : kPaletteCases) {
        SCOPED_TRACE(testing::Message() << std::hex << "face 0x" << c.face);
        const FacePalette p = deriveFacePalette(c.face);
        EXPECT_EQ(p.highlight, c.highlight);
        EXPECT_EQ(p.shadow, c.shadow);
        EXPECT_EQ(p.light, c.face);
        EXPECT_EQ(p.darkShadow, RGB(64, 64, 64));
    }
}

TEST(FacePalette, HueSaturationLightnessOfTheWorkedExamples)
{
    struct HslCase {
        COLORREF colour;
        float h, s, l;
    };
    const HslCase cases[] = {
        {RGB(212, 208, 200), 40.0f, 0.122449f, 0.807843f},
        {RGB(255, 0, 0), 360.0f, 1.0f, 0.5f},
        {RGB(102, 153, 204), 210.0f, 0.5f, 0.6f},
        {RGB(128, 128, 128), 0.0f, 0.0f, 0.501961f},
    };
    for (const HslCase& c : cases) {
        const Hsl hsl = rgbToHsl(c.colour);
        EXPECT_NEAR(hsl.hue, c.h, 1e-3) << std::hex << c.colour;
        EXPECT_NEAR(hsl.saturation, c.s, 1e-5) << std::hex << c.colour;
        EXPECT_NEAR(hsl.lightness, c.l, 1e-5) << std::hex << c.colour;
    }
}

TEST(FacePalette, MatchesTheSinglePrecisionReferenceOverASweep)
{
    int mismatches = 0;
    forSampledColours([&](COLORREF c) {
        const FacePalette p = deriveFacePalette(c);
        const auto [highlight, shadow] = referencePalette(c);
        if ((p.highlight != highlight || p.shadow != shadow) && ++mismatches <= 5)
            ADD_FAILURE() << std::hex << "face 0x" << c << ": highlight 0x" << p.highlight << " vs 0x" << highlight
                          << ", shadow 0x" << p.shadow << " vs 0x" << shadow;
    });
    EXPECT_EQ(mismatches, 0);
}

TEST(FacePalette, DiffersFromAWhollyDoubleDerivationForMoreThanAThirdOfColours)
{
    int differing = 0, total = 0;
    forSampledColours([&](COLORREF c) {
        const FacePalette p = deriveFacePalette(c);
        const auto [highlight, shadow] = doublePalette(c);
        differing += p.highlight != highlight || p.shadow != shadow;
        ++total;
    });
    EXPECT_GT(differing * 3, total);
}

TEST_F(CoreTest, SetFaceColorStoresTheDerivedPaletteAndKeepsTheTextColours)
{
    HWND button = dialog.addButton(301);
    HookedButton& b = attached(button);
    ASSERT_TRUE(Tavro_SetTextColor(dialog.hwnd(), 301, RGB(9, 8, 7), RGB(6, 5, 4)));
    const COLORREF face = RGB(212, 208, 200) | 0x01000000;  // the top byte goes along unchanged
    ASSERT_TRUE(Tavro_SetFaceColor(dialog.hwnd(), 301, face));
    EXPECT_EQ(b.faceColor, face);
    EXPECT_EQ(b.lightColor, face);
    EXPECT_EQ(b.highlightColor, RGB(240, 239, 236));
    EXPECT_EQ(b.shadowColor, RGB(115, 107, 90));
    EXPECT_EQ(b.darkShadowColor, RGB(64, 64, 64));
    EXPECT_FALSE(b.faceColorsFromSystem);
    EXPECT_FALSE(b.textColorsFromSystem);
    EXPECT_EQ(b.textColor, RGB(9, 8, 7));
    EXPECT_EQ(b.hotTextColor, RGB(6, 5, 4));
}
