// DrawMenuItem into a 32-bit DIB section: frames, check boxes, images and
// their greyscale, captions, separators, text placement, the clip region it
// leaves, and the pure greyscale arithmetic.
#include "item_fixture.h"
#include "dib_surface.h"
#include "greyscale.h"
#include "wide_text.h"

#include <string>
#include <vector>

namespace {

constexpr COLORREF kUntouched = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kDcBackground = RGB(0x21, 0x43, 0x65);

struct Probe {
    const char* what;
    int x, y;
    COLORREF colour;
};

class Painting : public ItemTest {
protected:
    bool paint(const MenuItemData* record, UINT state, RECT item, UINT type = ODT_MENU)
    {
        surface.fill(kUntouched);
        SelectClipRgn(surface.dc(), nullptr);
        SetBkColor(surface.dc(), kDcBackground);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = type;
        dis.itemState = state;
        dis.hDC = surface.dc();
        dis.rcItem = item;
        dis.itemData = reinterpret_cast<ULONG_PTR>(record);
        return DrawMenuItem(&dis);
    }
    void expectPixels(const std::vector<Probe>& probes)
    {
        for (const Probe& p : probes)
            EXPECT_EQ(surface.pixel(p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
    }
    std::vector<COLORREF> pixels() const { return surface.pixels(); }
    int count(RECT area, COLORREF colour) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += surface.pixel(x, y) == colour;
        return n;
    }
    // The leftmost and rightmost columns of area holding colour, or -1.
    std::pair<int, int> span(RECT area, COLORREF colour) const
    {
        int left = -1, right = -1;
        for (int x = area.left; x < area.right; ++x)
            for (int y = area.top; y < area.bottom; ++y)
                if (surface.pixel(x, y) == colour) {
                    if (left < 0)
                        left = x;
                    right = x;
                }
        return {left, right};
    }
    bool clipIsEmpty()
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int has = GetClipRgn(surface.dc(), region);
        RECT box;
        const bool empty = has == 1 && GetRgnBox(region, &box) == NULLREGION;
        DeleteObject(region);
        return empty;
    }
    bool hasClip()
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int has = GetClipRgn(surface.dc(), region);
        DeleteObject(region);
        return has == 1;
    }

    testing_support::DibSurface surface{150, 30, kUntouched};
};

TEST_F(Painting, CommandItemFramesByState)
{
    addColourIcon();
    Record record = makeRecord("Item", MFT_STRING, 0);
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        const COLORREF light = selected ? g_highlightColor : g_menuColor;
        const COLORREF dark = selected ? g_shadowColor : g_menuColor;
        ASSERT_TRUE(paint(record.get(), selected ? ODS_SELECTED : 0, {0, 0, 150, 20}));
        expectPixels({{"icon column top", 5, 0, light},       {"icon column left", 0, 5, light},
                      {"icon column corner", 0, 0, light},    {"icon column right", 19, 5, dark},
                      {"icon column top right", 19, 0, dark}, {"icon column bottom", 5, 19, dark},
                      {"text area top", 60, 0, light},        {"text area left", 21, 5, light},
                      {"text area right", 149, 5, dark},      {"text area bottom", 60, 19, dark}});
        for (int y = 0; y < 20; ++y)
            EXPECT_EQ(surface.pixel(20, y), kUntouched) << "the column between the boxes, y " << y;
    }
}

TEST_F(Painting, OneFrameAroundTheWholeItemWithoutImageOrWithSubMenu)
{
    addColourIcon();
    const struct {
        const char* name;
        int image;
        bool hasSubMenu;
    } cases[] = {{"no image", -1, false}, {"image and sub-menu", 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Record record = makeRecord("Item", MFT_STRING, c.image);
        record->hasSubMenu = c.hasSubMenu;
        ASSERT_TRUE(paint(record.get(), ODS_SELECTED, {0, 0, 150, 20}));
        expectPixels({{"top across the icon column", 20, 0, g_highlightColor},
                      {"left", 0, 5, g_highlightColor},
                      {"bottom", 20, 19, g_shadowColor},
                      {"right", 149, 5, g_shadowColor},
                      {"no icon column frame", 19, 5, kUntouched}});
    }
}

TEST_F(Painting, CheckedBoxBackgroundMarkAndSunkenFrame)
{
    const RECT inside = {2, 2, 18, 18};
    std::vector<COLORREF> marks[2];
    for (UINT type : {UINT(MFT_STRING), UINT(MFT_RADIOCHECK)}) {
        for (bool selected : {false, true}) {
            SCOPED_TRACE(std::string(type == MFT_RADIOCHECK ? "bullet" : "check") + (selected ? ", selected" : ""));
            Record record = makeRecord("Checked", type);
            ASSERT_TRUE(paint(record.get(), ODS_CHECKED | (selected ? ODS_SELECTED : 0), {0, 0, 150, 20}));
            expectPixels({{"sunken top", 5, 1, g_shadowColor},
                          {"sunken left", 1, 5, g_shadowColor},
                          {"sunken right", 18, 5, g_highlightColor},
                          {"sunken bottom", 5, 18, g_highlightColor}});
            if (selected) {
                expectPixels({{"solid background", 2, 2, g_menuColor}, {"solid background", 3, 2, g_menuColor}});
            } else {
                const COLORREF a = surface.pixel(2, 2), b = surface.pixel(3, 2);
                EXPECT_NE(a, b) << "halftone";
                EXPECT_TRUE((a == g_highlightColor && b == kDcBackground) ||
                            (a == kDcBackground && b == g_highlightColor));
                EXPECT_EQ(surface.pixel(2, 3), b);
            }
            EXPECT_GT(count(inside, RGB(0, 0, 0)), 0) << "the mark";
            if (selected) {
                std::vector<COLORREF> mark;
                for (int y = inside.top; y < inside.bottom; ++y)
                    for (int x = inside.left; x < inside.right; ++x)
                        mark.push_back(surface.pixel(x, y) == RGB(0, 0, 0));
                marks[type == MFT_RADIOCHECK] = mark;
            }
        }
    }
    EXPECT_NE(marks[0], marks[1]) << "a bullet is not a check mark";

    Record grey = makeRecord("Checked");
    ASSERT_TRUE(paint(grey.get(), ODS_CHECKED | ODS_SELECTED | ODS_GRAYED, {0, 0, 150, 20}));
    EXPECT_EQ(count(inside, RGB(0, 0, 0)), 0) << "a greyed mark is embossed, not black";
    EXPECT_GT(count(inside, GetSysColor(COLOR_BTNSHADOW)), 0);
}

TEST_F(Painting, ImageIsCentredInTheIconColumn)
{
    addColourIcon();
    Record record = makeRecord("Item", MFT_STRING, 0);
    const struct {
        int height;
        int at;
    } cases[] = {{20, 2}, {22, 3}, {23, 3}, {24, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        ASSERT_TRUE(paint(record.get(), 0, {0, 0, 150, c.height}));
        expectPixels({{"first image pixel", c.at, c.at, RGB(255, 0, 0)},
                      {"last opaque column", c.at + 14, c.at, RGB(255, 0, 0)},
                      {"transparent column", c.at + 15, c.at, kUntouched},
                      {"left of the image", c.at - 1, c.at, kUntouched}});
    }
}

TEST_F(Painting, SecondLookShowsEnabledUnselectedImagesInGrey)
{
    addColourIcon();
    Record record = makeRecord("Item", MFT_STRING, 0);
    auto grey = [](int level) { return RGB(level, level, level); };
    const std::vector<Probe> greyImage = {{"red", 2, 2, grey(75)},       {"green", 2, 5, grey(149)},
                                          {"blue", 2, 8, grey(29)},      {"white", 2, 11, grey(255)},
                                          {"black", 2, 14, grey(0)},     {"transparent", 17, 2, kUntouched},
                                          {"transparent row", 5, 17, kUntouched}};
    const std::vector<Probe> colourImage = {{"red", 2, 2, RGB(255, 0, 0)},     {"green", 2, 5, RGB(0, 255, 0)},
                                            {"blue", 2, 8, RGB(0, 0, 255)},    {"transparent", 17, 2, kUntouched}};
    const struct {
        const char* name;
        int mode;
        UINT state;
        const std::vector<Probe>* probes;
    } cases[] = {
        {"look 1", 1, 0, &greyImage},
        {"look 1, selected", 1, ODS_SELECTED, &colourImage},
        {"look 0", 0, 0, &colourImage},
        {"look 0, selected", 0, ODS_SELECTED, &colourImage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Nello_SetLookMode(c.mode);
        ASSERT_TRUE(paint(record.get(), c.state, {0, 0, 150, 20}));
        expectPixels(*c.probes);
    }
    for (int mode : {0, 1}) {
        Nello_SetLookMode(mode);
        ASSERT_TRUE(paint(record.get(), ODS_GRAYED, {0, 0, 150, 20}));
        EXPECT_NE(surface.pixel(2, 2), RGB(255, 0, 0)) << "greyed is drawn disabled, look " << mode;
        EXPECT_NE(surface.pixel(2, 2), grey(75)) << "greyed is drawn disabled, look " << mode;
    }
}

TEST_F(Painting, CaptionBandIsTheSameInEveryStateAndLeavesNoClip)
{
    Record caption = makeRecord("Caption");
    caption->isCaption = true;
    const RECT item = {0, 0, 150, 22};
    ASSERT_TRUE(paint(caption.get(), 0, item));
    const auto unselected = pixels();
    EXPECT_FALSE(hasClip());
    expectPixels({{"frame top", 5, 0, g_highlightColor},    {"frame left", 0, 5, g_highlightColor},
                  {"frame right", 149, 5, g_shadowColor},   {"frame bottom", 5, 19, g_shadowColor},
                  {"unpainted row", 5, 20, kUntouched},     {"unpainted row", 140, 21, kUntouched},
                  {"gradient start", 1, 2, g_captionColor}});
    const COLORREF end = surface.pixel(148, 2);
    for (int shift : {0, 8, 16}) {
        const int got = (end >> shift) & 0xFF, want = (g_captionGradientColor >> shift) & 0xFF;
        const int from = (g_captionColor >> shift) & 0xFF;
        EXPECT_LE(std::abs(got - want), std::abs(want - from) / 50 + 1) << "gradient end, channel " << shift;
    }
    ASSERT_TRUE(paint(caption.get(), ODS_SELECTED | ODS_CHECKED, item));
    EXPECT_EQ(pixels(), unselected);

    const GradientFillFunction gradient = g_gradientFill;
    g_gradientFill = nullptr;
    ASSERT_TRUE(paint(caption.get(), 0, item));
    g_gradientFill = gradient;
    expectPixels({{"solid start", 1, 2, g_captionColor}, {"solid end", 148, 2, g_captionColor}});
}

TEST_F(Painting, SeparatorIsAnEtchedLineAtItsMiddleAndLeavesAnEmptyClip)
{
    Record separator = makeRecord("", MFT_SEPARATOR);
    for (UINT state : {0u, UINT(ODS_SELECTED)}) {
        SCOPED_TRACE(state);
        ASSERT_TRUE(paint(separator.get(), state, {0, 0, 150, 9}));
        expectPixels({{"above", 10, 3, kUntouched},
                      {"etched dark line", 10, 4, GetSysColor(COLOR_BTNSHADOW)},
                      {"etched light line", 10, 5, GetSysColor(COLOR_BTNHIGHLIGHT)},
                      {"below", 10, 6, kUntouched},
                      {"no frame", 0, 0, kUntouched}});
        EXPECT_TRUE(clipIsEmpty());
        RECT all = {0, 0, 150, 30};
        FillRect(surface.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EXPECT_EQ(surface.pixel(10, 4), GetSysColor(COLOR_BTNSHADOW)) << "nothing drawn afterwards shows";
    }
}

TEST_F(Painting, SubMenuIndicatorBoxSunkenWhenSelected)
{
    ASSERT_NE(GetSysColor(COLOR_BTNFACE), g_shadowColor);
    Record record = makeRecord("More");
    record->hasSubMenu = true;
    ASSERT_TRUE(paint(record.get(), 0, {0, 0, 150, 20}));
    expectPixels({{"grip box corner", 133, 3, GetSysColor(COLOR_BTNFACE)}, {"left of the box", 132, 5, kUntouched}});
    ASSERT_TRUE(paint(record.get(), ODS_SELECTED, {0, 0, 150, 20}));
    expectPixels({{"sunken top", 135, 3, g_shadowColor},
                  {"sunken left", 133, 10, g_shadowColor},
                  {"sunken right", 146, 10, g_highlightColor},
                  {"grip inside", 134, 4, GetSysColor(COLOR_BTNFACE)}});
    EXPECT_TRUE(clipIsEmpty());
}

TEST_F(Painting, TextPlacementColoursAndPrefixes)
{
    ASSERT_NE(g_hotColor, g_menuTextColor);
    const RECT item = {0, 0, 150, 20};
    const RECT textArea = {1, 1, 149, 19};
    const int H = 20, W = 20;  // no images: the icon column is as wide as the item is high

    Record label = makeRecord("H");
    ASSERT_TRUE(paint(label.get(), 0, item));
    const auto [left, right] = span(textArea, g_menuTextColor);
    EXPECT_GE(left, W + 4);
    EXPECT_LE(left, W + 6);
    EXPECT_EQ(count(textArea, g_hotColor), 0);
    // The DC arrives with another background colour (the system gives a
    // selected item the highlight colour): the text never shows it.
    EXPECT_EQ(count(textArea, kDcBackground), 0) << "the text is drawn on the menu colour";
    ASSERT_TRUE(paint(label.get(), ODS_SELECTED, item));
    EXPECT_GT(count(textArea, g_hotColor), 0);
    EXPECT_EQ(count(textArea, g_menuTextColor), 0);
    EXPECT_EQ(count(textArea, kDcBackground), 0) << "no highlight block behind a selected item's text";

    // The accelerator ends at R - H, with or without a sub-menu, and shows
    // also when the text begins with its tab.
    for (const char* text : {"Open\tF5", "\tF5", "a\tb\tF5"}) {
        for (bool sub : {false, true}) {
            SCOPED_TRACE(std::string(text) + (sub ? ", sub-menu" : ""));
            Record record = makeRecord(text);
            record->hasSubMenu = sub;
            ASSERT_TRUE(paint(record.get(), 0, item));
            const int rightmost = span({W + 40, 1, 150 - H, 19}, g_menuTextColor).second;
            EXPECT_LE(rightmost, 150 - H - 1);
            EXPECT_GE(rightmost, 150 - H - 4);
        }
    }

    // ODS_NOACCEL removes every '&' from the label, a doubled one too.
    Record plain = makeRecord("AB\t&X");
    ASSERT_TRUE(paint(plain.get(), 0, item));
    const auto expected = pixels();
    Record prefixed = makeRecord("&&A&B\t&X");
    ASSERT_TRUE(paint(prefixed.get(), ODS_NOACCEL, item));
    EXPECT_EQ(pixels(), expected);

    // The default item is bold.
    Record wide = makeRecord("Wide label text");
    ASSERT_TRUE(paint(wide.get(), 0, item));
    const int regular = span(textArea, g_menuTextColor).second;
    ASSERT_TRUE(paint(wide.get(), ODS_DEFAULT, item));
    const int bold = span(textArea, g_menuTextColor).second;
    EXPECT_GT(bold, regular);
    // Wine does not pass ODS_DEFAULT: the record's own flag makes it bold too,
    // as wide as measurement made room for.
    wide.get()->isDefault = true;
    ASSERT_TRUE(paint(wide.get(), 0, item));
    EXPECT_EQ(span(textArea, g_menuTextColor).second, bold);
}

TEST_F(Painting, UnicodeLabelIsTheWideTextDrawnByTheWideFunctions)
{
    const std::wstring text = L"\u03A9\u03BC\u03AD\u03B3\u03B1 \u0416\u0436 \u2192 \u2713";
    const std::wstring throughAnsi = wide_text::fromAnsi(wide_text::toAnsi(text));
    ASSERT_NE(throughAnsi, text);
    const RECT item = {0, 0, 150, 20};
    const RECT label = {24, 1, 130, 19};  // from L + W + 4 to R - H, inside the frames

    // The same text in the same font, colours and place, drawn into another DIB.
    auto reference = [&](const std::wstring& shown) {
        testing_support::DibSurface other(150, 30, kUntouched);
        HGDIOBJ old = SelectObject(other.dc(), g_menuFont);
        SetTextColor(other.dc(), g_menuTextColor);
        SetBkColor(other.dc(), g_menuColor);
        SetBkMode(other.dc(), OPAQUE);
        SIZE extent = {};
        GetTextExtentPoint32W(other.dc(), shown.c_str(), static_cast<int>(shown.size()), &extent);
        const int top = (20 - extent.cy) / 2;
        RECT box = {label.left, top, label.left + extent.cx, top + extent.cy};
        DrawTextW(other.dc(), shown.c_str(), static_cast<int>(shown.size()), &box, DT_NOCLIP);
        SelectObject(other.dc(), old);
        std::vector<COLORREF> area;
        for (int y = label.top; y < label.bottom; ++y)
            for (int x = label.left; x < label.right; ++x)
                area.push_back(other.pixel(x, y));
        return area;
    };
    const auto expected = reference(text);
    ASSERT_NE(expected, reference(throughAnsi)) << "the two forms must look different for this to mean anything";

    Record record = makeRecord(text);
    ASSERT_TRUE(paint(record.get(), 0, item));
    std::vector<COLORREF> painted;
    for (int y = label.top; y < label.bottom; ++y)
        for (int x = label.left; x < label.right; ++x)
            painted.push_back(surface.pixel(x, y));
    EXPECT_EQ(painted, expected);
}

TEST_F(Painting, CommandItemLeavesAnEmptyClipThatTheNextPaintRemoves)
{
    Record record = makeRecord("Item");
    ASSERT_TRUE(paint(record.get(), 0, {0, 0, 150, 20}));
    EXPECT_TRUE(clipIsEmpty());
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemState = ODS_SELECTED;
    dis.hDC = surface.dc();
    dis.rcItem = {0, 0, 150, 20};
    dis.itemData = reinterpret_cast<ULONG_PTR>(record.get());
    ASSERT_TRUE(DrawMenuItem(&dis));  // on the same DC, clip still in place
    EXPECT_EQ(surface.pixel(5, 0), g_highlightColor);
}

TEST_F(Painting, ForeignItemsAreDeclinedDrawingNothingAndKeepingTheClip)
{
    Record record = makeRecord("mine");
    MenuItemData lookalike = *record;
    const struct {
        const char* name;
        const MenuItemData* data;
        UINT type;
    } cases[] = {{"a button", record.get(), ODT_BUTTON},
                 {"no item data", nullptr, ODT_MENU},
                 {"item data that is not a pointer", reinterpret_cast<const MenuItemData*>(0x55), ODT_MENU},
                 {"a look-alike record", &lookalike, ODT_MENU}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        surface.fill(kUntouched);
        HRGN clip = CreateRectRgn(0, 0, 10, 10);
        SelectClipRgn(surface.dc(), clip);
        DeleteObject(clip);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = c.type;
        dis.itemState = ODS_SELECTED;
        dis.hDC = surface.dc();
        dis.rcItem = {0, 0, 150, 20};
        dis.itemData = reinterpret_cast<ULONG_PTR>(c.data);
        EXPECT_FALSE(DrawMenuItem(&dis));
        EXPECT_EQ(count({0, 0, 150, 30}, kUntouched), 150 * 30);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        RECT box = {};
        EXPECT_EQ(GetClipRgn(surface.dc(), region), 1);
        GetRgnBox(region, &box);
        EXPECT_EQ(box.right, 10);
        DeleteObject(region);
        SelectClipRgn(surface.dc(), nullptr);
    }
}

// How many more objects of a kind the process could make now: filled up to
// the limit and given back. A paint that leaks lowers it by its leak.
template <class Make, class Free>
int capacity(Make make, Free free)
{
    std::vector<decltype(make())> made;
    for (auto h = make(); h && made.size() < 200000; h = make())
        made.push_back(h);
    for (auto h : made)
        free(h);
    return static_cast<int>(made.size());
}

int gdiCapacity()
{
    return capacity([] { return CreateSolidBrush(0); }, [](HBRUSH b) { DeleteObject(b); });
}

int userCapacity()
{
    static ACCEL accel = {FVIRTKEY, 'A', 1};
    return capacity([] { return CreateAcceleratorTableA(&accel, 1); }, [](HACCEL a) { DestroyAcceleratorTable(a); });
}

TEST_F(Painting, PaintsLeakNeitherGdiNorUserObjects)
{
    addColourIcon();
    Record image = makeRecord("Item\tCtrl+I", MFT_STRING, 0);
    image->hasSubMenu = true;
    Record mark = makeRecord("Mark", MFT_RADIOCHECK);
    Record caption = makeRecord("Caption");
    caption->isCaption = true;
    auto paintAll = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            Nello_SetLookMode(i % 2);
            paint(image.get(), (i % 3 ? 0 : ODS_SELECTED) | ODS_CHECKED | (i % 5 ? 0 : ODS_GRAYED), {0, 0, 150, 20});
            paint(mark.get(), ODS_CHECKED | (i % 2 ? ODS_GRAYED : 0), {0, 0, 150, 20});
            paint(caption.get(), 0, {0, 0, 150, 22});
        }
    };
    paintAll(5);  // whatever the system makes once, on first use
    const int gdi = gdiCapacity(), user = userCapacity();
    paintAll(500);
    EXPECT_GE(gdiCapacity(), gdi - 16);
    EXPECT_GE(userCapacity(), user - 16);
    Nello_SetLookMode(1);
    ASSERT_TRUE(paint(image.get(), 0, {0, 0, 150, 20}));
    expectPixels({{"grey image", 2, 2, RGB(75, 75, 75)}, {"frame", 0, 5, g_menuColor}});
}

TEST(Greyscale, LevelsAndRowsInPlace)
{
    const struct {
        std::uint8_t r, g, b, grey;
    } levels[] = {{255, 0, 0, 75}, {0, 255, 0, 149}, {0, 0, 255, 29}, {255, 255, 255, 255}, {0, 0, 0, 0}};
    for (const auto& l : levels)
        EXPECT_EQ(GreyLevel(l.r, l.g, l.b), l.grey) << int(l.r) << "," << int(l.g) << "," << int(l.b);

    // Two rows of two pixels with two bytes of padding each, which stay as they are.
    std::uint8_t rows[] = {0, 0, 255, 255, 255, 255, 0xEE, 0xEE, 255, 0, 0, 0, 255, 0, 0xEE, 0xEE};
    GreyscaleBgrRows(rows, 2, 2, 8);
    const std::uint8_t expected[] = {75, 75, 75, 255, 255, 255, 0xEE, 0xEE, 29, 29, 29, 149, 149, 149, 0xEE, 0xEE};
    EXPECT_EQ(std::vector<std::uint8_t>(rows, rows + 16), std::vector<std::uint8_t>(expected, expected + 16));
}

}  // namespace
