// Content placement, icon loading and the optimal size.
#include "button_layout.h"
#include "gdi_owners.h"
#include "paint_fixture.h"

#include <commctrl.h>

#include <string>

using namespace button_layout;

namespace {

struct LayoutCase {
    const char* name;
    DWORD style;
    RECT content;
    SIZE icon;  // 0 x 0: text only
    SIZE text;
    RECT iconRect;
    RECT textRect;
    UINT flags;
};

const RECT kShort{2, 2, 102, 32};  // 100 x 30
const RECT kTall{2, 2, 102, 62};   // 100 x 60

const LayoutCase kLayouts[] = {
    {"centred", 0, kShort, {16, 16}, {40, 15}, {21, 9, 37, 25}, {42, 9, 82, 24}, DT_CENTER | DT_VCENTER},
    {"left", BS_LEFT, kShort, {16, 16}, {40, 15}, {2, 9, 18, 25}, {23, 9, 63, 24}, DT_VCENTER},
    {"right", BS_RIGHT, kShort, {16, 16}, {40, 15}, {85, 9, 101, 25}, {40, 9, 80, 24}, DT_RIGHT | DT_VCENTER},
    {"vcenter is side by side", BS_VCENTER | BS_CENTER, kShort, {16, 16}, {40, 15}, {21, 9, 37, 25},
     {42, 9, 82, 24}, DT_CENTER | DT_VCENTER},
    {"text wider than the room", 0, kShort, {16, 16}, {90, 15}, {2, 9, 18, 25}, {23, 9, 101, 24},
     DT_CENTER | DT_VCENTER},
    {"left, text clamped", BS_LEFT, kShort, {16, 16}, {90, 15}, {2, 9, 18, 25}, {23, 9, 101, 24}, DT_VCENTER},
    {"right, text raised to the left edge", BS_RIGHT, kShort, {16, 16}, {90, 15}, {85, 9, 101, 25},
     {2, 9, 80, 24}, DT_RIGHT | DT_VCENTER},
    {"top with room", BS_TOP, kTall, {16, 16}, {40, 15}, {44, 14, 60, 30}, {32, 35, 72, 50}, DT_CENTER},
    {"top without room", BS_TOP, kShort, {16, 16}, {40, 15}, {44, 2, 60, 18}, {32, 23, 72, 31}, DT_CENTER},
    {"bottom with room", BS_BOTTOM, kTall, {16, 16}, {40, 15}, {44, 34, 60, 50}, {32, 14, 72, 29},
     DT_BOTTOM | DT_CENTER},
    {"bottom without room", BS_BOTTOM, kShort, {16, 16}, {40, 15}, {44, 15, 60, 31}, {32, 2, 72, 10},
     DT_BOTTOM | DT_CENTER},
    {"top left", BS_TOP | BS_LEFT, kTall, {16, 16}, {40, 15}, {2, 14, 18, 30}, {2, 35, 42, 50}, 0},
    {"bottom right", BS_BOTTOM | BS_RIGHT, kTall, {16, 16}, {40, 15}, {85, 34, 101, 50}, {61, 14, 101, 29},
     DT_BOTTOM | DT_RIGHT},
    {"text only centred", 0, kShort, {0, 0}, {40, 15}, {}, {32, 9, 72, 24}, DT_CENTER | DT_VCENTER},
    {"text only top", BS_TOP, kShort, {0, 0}, {40, 15}, {}, {32, 2, 72, 17}, DT_CENTER},
    {"text only bottom", BS_BOTTOM, kShort, {0, 0}, {40, 15}, {}, {32, 16, 72, 31}, DT_BOTTOM | DT_CENTER},
    {"text only left", BS_LEFT, kShort, {0, 0}, {40, 15}, {}, {2, 9, 42, 24}, DT_VCENTER},
    {"text only right", BS_RIGHT, kShort, {0, 0}, {40, 15}, {}, {61, 9, 101, 24}, DT_RIGHT | DT_VCENTER},
    // Halving rounds toward minus infinity: 2 + half(30 - 33) = 0, raised to 2.
    {"text only taller than the room", 0, kShort, {0, 0}, {40, 33}, {}, {32, 2, 72, 31}, DT_CENTER | DT_VCENTER},
    {"text only wider than the room", 0, kShort, {0, 0}, {130, 15}, {}, {2, 9, 101, 24}, DT_CENTER | DT_VCENTER},
    {"empty text beside an icon", 0, kShort, {16, 16}, {0, 0}, {41, 9, 57, 25}, {62, 17, 62, 17},
     DT_CENTER | DT_VCENTER},
};

std::string str(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(ContentLayout, PlacesIconAndTextByAlignmentStyle)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        RECT iconRect{};
        RECT textRect{0, 0, c.text.cx, c.text.cy};
        UINT format = DT_SINGLELINE;
        if (c.icon.cx) {
            layoutWithIcon(c.style, c.content, c.icon, iconRect, textRect, format);
            EXPECT_EQ(str(iconRect), str(c.iconRect)) << "icon";
        } else {
            layoutTextOnly(c.style, c.content, textRect, format);
        }
        EXPECT_EQ(str(textRect), str(c.textRect)) << "text";
        EXPECT_EQ(format, c.flags | DT_SINGLELINE);
    }
}

namespace {

SIZE extentOf(HWND button, const char* text)
{
    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    return size;
}

}  // namespace

TEST_F(PaintTest, OptimalSizeFitsTextAndIcons)
{
    struct SizeCase {
        const char* name;
        DWORD style;
        int mode;
        unsigned int iconId;  // 0: no icons
        const char* text;
        int icon;             // icon side in pixels
    };
    const SizeCase cases[] = {
        {"text only", BS_PUSHBUTTON, TavroPush, 0, "Save &as", 0},
        {"text only, split down", BS_PUSHBUTTON, TavroSplitDown, 0, "Save", 0},
        {"text only, split right", BS_PUSHBUTTON, TavroSplitRight, 0, "Save", 0},
        {"icon beside", BS_PUSHBUTTON, TavroPush, kFirstIconId, "Open", 16},
        {"large icon beside", BS_PUSHBUTTON, TavroNotify, kLargeIconId, "Go", 24},
        {"icon above", BS_TOP, TavroPush, kFirstIconId, "Open file", 16},
        {"icon below, split", BS_BOTTOM, TavroSplitDown, kLargeIconId, "x", 24},
        {"icon only", BS_PUSHBUTTON, TavroPush, kFirstIconId, "", 16},
    };
    int id = 501;
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        HookedButton& b = makeButton(++id, c.style, c.text, false);
        if (c.iconId) {
            ASSERT_TRUE(Tavro_LoadIcons(dialog.hwnd(), id, icons().handle(), c.iconId, 0));
        }
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), id, c.mode));
        const SIZE text = extentOf(b.hwnd, c.text);
        const int gap = c.icon ? 5 : 0;
        SIZE expected;
        if (c.style & (BS_TOP | BS_BOTTOM))
            expected = {std::max<LONG>(text.cx, c.icon) + 5, text.cy + c.icon + 5 + gap};
        else
            expected = {text.cx + c.icon + 5 + gap, std::max<LONG>(text.cy, c.icon) + 5};
        if (c.mode == TavroSplitDown || c.mode == TavroSplitRight)
            expected.cx += 20;
        SIZE size{};
        ASSERT_TRUE(Tavro_GetOptimalSize(dialog.hwnd(), id, size));
        EXPECT_EQ(size.cx, expected.cx);
        EXPECT_EQ(size.cy, expected.cy);
    }
}

namespace {

COLORREF imageColour(HIMAGELIST list, int index)
{
    testing_support::DibSurface s(32, 32, kSentinel);
    ImageList_Draw(list, index, s.dc(), 0, 0, ILD_NORMAL);
    return s.pixel(8, 8);
}

}  // namespace

TEST_F(PaintTest, LoadIconsFillsAnImageListOfExactlyTwoImages)
{
    struct IconCase {
        const char* name;
        unsigned int first, second;
        bool result;
        COLORREF image0, image1;
    };
    const IconCase cases[] = {
        {"first only", kFirstIconId, 0, true, kFirstIcon, kFirstIcon},
        {"first and second", kFirstIconId, kSecondIconId, true, kFirstIcon, kSecondIcon},
        {"second missing", kFirstIconId, 77, true, kFirstIcon, kFirstIcon},
        {"only the low 16 bits name a resource", 0x10000 + kFirstIconId, 0x20000 + kSecondIconId, true,
         kFirstIcon, kSecondIcon},
        {"first missing", 77, kSecondIconId, false, 0, 0},
    };
    int id = 601;
    for (const IconCase& c : cases) {
        SCOPED_TRACE(c.name);
        HookedButton& b = makeButton(++id);  // starts with icons of its own
        ASSERT_NE(b.imageList, nullptr);
        EXPECT_EQ(Tavro_LoadIcons(dialog.hwnd(), id, icons().handle(), c.first, c.second), c.result);
        if (!c.result) {
            EXPECT_EQ(b.imageList, nullptr) << "a failed load leaves no icons";
            EXPECT_EQ(b.iconWidth, 0);
            EXPECT_EQ(b.iconHeight, 0);
            ASSERT_TRUE(paint(b, 0));
            EXPECT_EQ(countColour(surface, kFirstIcon) + countColour(surface, kSecondIcon), 0);
            continue;
        }
        ASSERT_NE(b.imageList, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(b.imageList), 2);
        EXPECT_EQ(b.iconWidth, 16);
        EXPECT_EQ(b.iconHeight, 16);
        EXPECT_EQ(imageColour(b.imageList, 0), c.image0);
        EXPECT_EQ(imageColour(b.imageList, 1), c.image1);
    }
}

namespace {

// Lines DrawTextW wraps text into at a width, in the button's font.
int wrappedLines(HDC dc, const wchar_t* text, int width, RECT& box)
{
    box = RECT{0, 0, width, 0};
    DrawTextW(dc, text, -1, &box, DT_WORDBREAK | DT_CALCRECT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return box.bottom / metrics.tmHeight;
}

}  // namespace

// A wrapped label beside the arrow area of a split button is laid out at
// the width it is drawn in, so a label that needs one more line there gets
// it: every line shows, as DrawTextW draws them at that width.
TEST_F(PaintTest, WrappedLabelsOfSplitButtonsShowEveryLine)
{
    constexpr int kHeight = 60;
    const wchar_t* const label = L"Print selection only";
    const RECT place{10, 10, 10 + kButtonWidth, 10 + kHeight};
    // The content is 4 pixels narrower than the button; the arrow area
    // takes 20 of it, and a wrapped label keeps 5 for an icon's gap.
    const int besideArrow = kButtonWidth - 4 - 20 - 5, wholeWidth = kButtonWidth - 4 - 5;
    testing_support::DibSurface tall(kButtonWidth, kHeight, kSentinel);
    testing_support::DibSurface reference(kButtonWidth, kHeight, kFace);
    int id = 601;
    for (const int mode : {TavroSplitDown, TavroSplitRight}) {
        SCOPED_TRACE(mode == TavroSplitDown ? "split down" : "split right");
        HookedButton& b = makeButton(++id, BS_MULTILINE, "Print selection only", false, 0, place);
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), id, mode));
        usePalette(b);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(b.hwnd, WM_GETFONT, 0, 0));

        RECT box;
        reference.fill(kFace);
        owners::Selection selected(reference.dc(), font);
        const int linesOnWholeWidth = wrappedLines(reference.dc(), label, wholeWidth, box);
        ASSERT_LT(linesOnWholeWidth, wrappedLines(reference.dc(), label, besideArrow, box))
            << "the label needs one more line beside the arrow";
        ASSERT_LE(box.bottom + 2, kHeight - 4) << "and all its lines fit the button";
        // Drawn as the painter draws it: centred lines in a box 2 pixels wider.
        SetTextColor(reference.dc(), kText);
        SetBkMode(reference.dc(), TRANSPARENT);
        RECT drawn{0, 0, box.right + 2, box.bottom + 2};
        DrawTextW(reference.dc(), label, -1, &drawn, DT_WORDBREAK | DT_CENTER);

        DRAWITEMSTRUCT item = {ODT_BUTTON, UINT(id), 0, ODA_DRAWENTIRE, 0, b.hwnd, tall.dc(), {0, 0, kButtonWidth, kHeight},
                               0};
        ASSERT_EQ(SendMessageA(dialog.hwnd(), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item)), TRUE);
        // Inside the frame, left of the arrow area.
        EXPECT_EQ(inkOf(tall, kFace, RECT{3, 3, kButtonWidth - 2 - 20, kHeight - 3}),
                  inkOf(reference, kFace, RECT{0, 0, kButtonWidth, kHeight}));
    }
}
