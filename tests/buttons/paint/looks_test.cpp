// The painted looks of attached buttons, read back pixel by pixel.
#include "button_paint.h"
#include "paint_fixture.h"

#include <string>

using button_paint::Frame;
using button_paint::TextColour;

namespace {

constexpr int kId = 401;
const RECT kTextArea{4, 4, 80, 26};  // inside every frame, left of any arrow area

COLORREF checkerAt(int x, int y)
{
    return (x + y) % 2 == 0 ? kFace : kHighlight;
}

struct FrameColours {
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    bool inner;
};

FrameColours coloursOf(Frame frame)
{
    switch (frame) {
    case Frame::TwoLineRaised:
        return {kHighlight, kShadow, 0, 0, false};
    case Frame::TwoLineSunken:
        return {kShadow, kHighlight, 0, 0, false};
    case Frame::FourLineRaised:
        return {kHighlight, kDarkShadow, kLight, kShadow, true};
    case Frame::FourLineSunken:
        return {kDarkShadow, kHighlight, kShadow, kLight, true};
    default:
        return {0, 0, 0, 0, false};
    }
}

// Checks the frame lines of r in s; where there is no line, the background.
template <class Background>
void expectFrame(const testing_support::DibSurface& s, RECT r, Frame frame, Background background)
{
    const int midX = (r.left + r.right) / 2 - 3, midY = (r.top + r.bottom) / 2;
    const FrameColours c = coloursOf(frame);
    const bool outer = frame != Frame::None;
    auto expectAt = [&](int x, int y, bool line, COLORREF colour, const char* where) {
        EXPECT_EQ(s.pixel(x, y), line ? colour : background(x, y)) << where << " at (" << x << ", " << y << ")";
    };
    expectAt(r.left, midY, outer, c.outerTopLeft, "outer left");
    expectAt(midX, r.top, outer, c.outerTopLeft, "outer top");
    expectAt(r.right - 1, midY, outer, c.outerBottomRight, "outer right");
    expectAt(midX, r.bottom - 1, outer, c.outerBottomRight, "outer bottom");
    expectAt(r.left + 1, midY, c.inner, c.innerTopLeft, "inner left");
    expectAt(midX, r.top + 1, c.inner, c.innerTopLeft, "inner top");
    expectAt(r.right - 2, midY, c.inner, c.innerBottomRight, "inner right");
    expectAt(midX, r.bottom - 2, c.inner, c.innerBottomRight, "inner bottom");
}

struct Content {
    Found icon;
    int image;  // 0 first icon, 1 second, -1 none or both
};

Content contentOf(const testing_support::DibSurface& s)
{
    const Found first = findColour(s, kFirstIcon), second = findColour(s, kSecondIcon);
    if (first.any == second.any)
        return {first, -1};
    return first.any ? Content{first, 0} : Content{second, 1};
}

COLORREF colourOf(TextColour t)
{
    return t == TextColour::Hot ? kHotText : t == TextColour::Shadow ? kShadow : kText;
}

struct LookCase {
    const char* name;
    bool flat;
    int pushState;
    bool selected;
    bool hot;
    int mode;
    Frame frame;
    bool checker;
    int offset;
    int image;
    TextColour text;
};

const LookCase kLooks[] = {
    {"3D at rest", false, 0, false, false, TavroPush, Frame::FourLineRaised, false, 0, 0, TextColour::Normal},
    {"3D selected", false, 0, true, false, TavroPush, Frame::FourLineSunken, false, 2, 0, TextColour::Normal},
    {"3D checked", false, 1, false, false, TavroToggle, Frame::FourLineSunken, true, 1, 0, TextColour::Normal},
    {"3D checked selected", false, 1, true, false, TavroToggle, Frame::FourLineSunken, true, 2, 0, TextColour::Normal},
    {"3D indeterminate", false, 2, false, false, TavroThreeState, Frame::FourLineSunken, false, 1, 1, TextColour::Shadow},
    {"3D arrow held", false, 4, false, false, TavroSplitDown, Frame::FourLineRaised, false, 0, 0, TextColour::Normal},
    {"3D notify press", false, 4, false, false, TavroNotify, Frame::FourLineSunken, false, 1, 0, TextColour::Normal},
    {"flat at rest", true, 0, false, false, TavroPush, Frame::None, false, 0, 1, TextColour::Normal},
    {"flat hot", true, 0, false, true, TavroPush, Frame::TwoLineRaised, false, -1, 0, TextColour::Hot},
    {"flat hot selected", true, 0, true, true, TavroPush, Frame::TwoLineSunken, false, 1, 0, TextColour::Hot},
    {"flat checked", true, 1, false, false, TavroToggle, Frame::TwoLineSunken, true, 1, 1, TextColour::Normal},
    {"flat checked hot", true, 1, false, true, TavroToggle, Frame::TwoLineSunken, true, 0, 0, TextColour::Hot},
    {"flat indeterminate", true, 2, false, false, TavroThreeState, Frame::TwoLineSunken, false, 1, 1, TextColour::Shadow},
    {"flat indeterminate hot", true, 2, false, true, TavroThreeState, Frame::TwoLineSunken, false, 0, 1, TextColour::Shadow},
    {"flat arrow held hot", true, 4, false, true, TavroSplitDown, Frame::TwoLineRaised, false, -1, 0, TextColour::Hot},
    {"flat notify press hot", true, 4, false, true, TavroNotify, Frame::TwoLineSunken, false, 0, 0, TextColour::Hot},
};

}  // namespace

TEST_F(PaintTest, ResultingLooksOfTheUsualStates)
{
    int id = kId;
    for (const LookCase& c : kLooks) {
        SCOPED_TRACE(c.name);
        HookedButton& b = makeButton(++id, c.flat ? BS_FLAT : BS_PUSHBUTTON);
        b.mode = c.mode;
        // The place the content has without any offset, in the same mode.
        b.pushState = 0;
        b.hot = false;
        ASSERT_TRUE(paint(b, 0));
        const Content rest = contentOf(surface);
        ASSERT_TRUE(rest.icon.any);

        b.pushState = c.pushState;
        b.hot = c.hot;
        ASSERT_TRUE(paint(b, c.selected ? ODS_SELECTED : 0));
        auto background = [&](int x, int y) { return c.checker ? checkerAt(x, y) : kFace; };
        expectFrame(surface, RECT{0, 0, kButtonWidth, kButtonHeight}, c.frame, background);
        for (int y = 3; y < 6; ++y)
            for (int x = 3; x < 8; ++x)
                EXPECT_EQ(surface.pixel(x, y), background(x, y)) << "background at (" << x << ", " << y << ")";

        const Content now = contentOf(surface);
        EXPECT_EQ(now.image, c.image);
        EXPECT_EQ(now.icon.left - rest.icon.left, c.offset);
        EXPECT_EQ(now.icon.top - rest.icon.top, c.offset);

        for (TextColour t : {TextColour::Normal, TextColour::Hot, TextColour::Shadow}) {
            const int n = countColour(surface, colourOf(t), kTextArea);
            if (t == c.text)
                EXPECT_GT(n, 0) << "text drawn in its colour";
            else
                EXPECT_EQ(n, 0) << "no text in another colour";
        }
    }
}

TEST_F(PaintTest, FramelessButtonsHaveNoFrameInAnyState)
{
    int id = kId;
    for (const LookCase& c : kLooks) {
        SCOPED_TRACE(c.name);
        HookedButton& b = makeButton(++id, c.flat ? BS_FLAT : BS_PUSHBUTTON, "HI", true, TAVRO_EX_FRAMELESS);
        b.mode = c.mode;
        b.pushState = c.pushState;
        b.hot = c.hot;
        ASSERT_TRUE(paint(b, c.selected ? ODS_SELECTED : 0));
        expectFrame(surface, RECT{0, 0, kButtonWidth, kButtonHeight}, Frame::None,
                    [&](int x, int y) { return c.checker ? checkerAt(x, y) : kFace; });
        EXPECT_EQ(contentOf(surface).image, c.image) << "content as usual";
    }
}

namespace {

struct ArrowCase {
    const char* name;
    int mode;
    bool flat;
    bool hot;
    bool enabled;
    bool held;
    COLORREF fill;
};

const ArrowCase kArrows[] = {
    {"down", TavroSplitDown, false, false, true, false, kText},
    {"right", TavroSplitRight, false, false, true, false, kText},
    {"down held", TavroSplitDown, false, false, true, true, kText},
    {"right held flat", TavroSplitRight, true, false, true, true, kHotText},
    {"down hot flat", TavroSplitDown, true, true, true, false, kHotText},
    {"right hot flat held", TavroSplitRight, true, true, true, true, kHotText},
    {"down hot not flat", TavroSplitDown, false, true, true, false, kText},
    {"down disabled", TavroSplitDown, false, false, false, false, kFace},
    {"right disabled hot flat", TavroSplitRight, true, true, false, false, kFace},
};

}  // namespace

TEST_F(PaintTest, SplitButtonsDrawTheirArrowArea)
{
    int id = kId;
    for (const ArrowCase& c : kArrows) {
        SCOPED_TRACE(c.name);
        HookedButton& b = makeButton(++id, c.flat ? BS_FLAT : BS_PUSHBUTTON, "HI", false);
        b.mode = c.mode;
        b.hot = c.hot;
        b.pushState = c.held ? 4 : 0;
        EnableWindow(b.hwnd, c.enabled);
        ASSERT_TRUE(paint(b, c.enabled ? 0 : ODS_DISABLED));

        const int offset = c.hot ? -1 : 0;  // not selected, and a held arrow adds nothing
        const int R = kButtonWidth - 2 + offset, T = 2 + offset, B = kButtonHeight - 2 + offset;
        const int midY = T + ((B - T) >> 1);
        if (c.held) {
            expectFrame(surface, RECT{R - 15, T, R, B}, c.flat ? Frame::TwoLineSunken : Frame::FourLineSunken,
                        [](int, int) { return kFace; });
        } else {
            for (int y : {T + 1, midY, B - 2}) {
                EXPECT_EQ(surface.pixel(R - 15, y), kShadow) << "separator, left line, y " << y;
                EXPECT_EQ(surface.pixel(R - 14, y), kHighlight) << "separator, right line, y " << y;
            }
            EXPECT_EQ(surface.pixel(R - 15, T), surface.pixel(R - 16, T)) << "the separator leaves out the top row";
        }
        const COLORREF black = RGB(0, 0, 0);
        if (c.mode == TavroSplitDown) {
            EXPECT_EQ(surface.pixel(R - 12, midY), black) << "left point";
            EXPECT_EQ(surface.pixel(R - 4, midY), black) << "right point";
            EXPECT_EQ(surface.pixel(R - 8, midY + 4), black) << "lower point";
            EXPECT_EQ(surface.pixel(R - 8, midY + 2), c.fill) << "inside";
            EXPECT_EQ(surface.pixel(R - 11, midY - 3), kFace) << "nothing above the top edge";
        } else {
            EXPECT_EQ(surface.pixel(R - 11, midY - 4), black) << "upper point";
            EXPECT_EQ(surface.pixel(R - 7, midY), black) << "tip";
            EXPECT_EQ(surface.pixel(R - 11, midY + 4), black) << "lower point";
            EXPECT_EQ(surface.pixel(R - 9, midY), c.fill) << "inside";
            EXPECT_EQ(surface.pixel(R - 4, midY), kFace) << "nothing right of the tip";
        }
        EnableWindow(b.hwnd, TRUE);
    }
}

TEST_F(PaintTest, DisabledButtonsShowEmbossedIconAndText)
{
    HookedButton& b = makeButton(kId);
    ASSERT_TRUE(paint(b, ODS_DISABLED));
    EXPECT_EQ(countColour(surface, kFirstIcon), 0);
    EXPECT_EQ(countColour(surface, kSecondIcon), 0);
    EXPECT_EQ(countColour(surface, kText, kTextArea), 0);
    const int embossed = countColour(surface, GetSysColor(COLOR_BTNSHADOW), kTextArea) +
                         countColour(surface, GetSysColor(COLOR_BTNHIGHLIGHT), kTextArea);
    EXPECT_GT(embossed, 16 * 16) << "icon and text drawn in the system's disabled colours";
}

TEST_F(PaintTest, FocusRectangleOnlyAroundText)
{
    const std::pair<const char*, bool> cases[] = {{"HI", true}, {"", false}};
    int id = kId;
    for (const auto& [text, expectFocus] : cases) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        HookedButton& b = makeButton(++id, BS_PUSHBUTTON, text);
        ASSERT_TRUE(paint(b, 0));
        testing_support::DibSurface plain(kButtonWidth, kButtonHeight);
        BitBlt(plain.dc(), 0, 0, kButtonWidth, kButtonHeight, surface.dc(), 0, 0, SRCCOPY);
        ASSERT_TRUE(paint(b, ODS_FOCUS));
        int changed = 0;
        for (int y = 0; y < kButtonHeight; ++y)
            for (int x = 0; x < kButtonWidth; ++x)
                changed += plain.pixel(x, y) != surface.pixel(x, y);
        EXPECT_EQ(changed > 0, expectFocus);
    }
}

TEST_F(PaintTest, ItemsThatAreNotButtonsAreLeftToTheDialog)
{
    HookedButton& b = makeButton(kId);
    EXPECT_FALSE(paint(b, 0, ODT_STATIC));
    EXPECT_EQ(countColour(surface, kSentinel), kButtonWidth * kButtonHeight) << "nothing drawn";
    EXPECT_TRUE(paint(b, 0, ODT_BUTTON));
    EXPECT_EQ(countColour(surface, kSentinel), 0);
}
