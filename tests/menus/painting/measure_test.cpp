// Item sizes: the arithmetic alone, then MeasureMenuItem with the fonts and
// metrics in force.
#include "item_fixture.h"
#include "wide_text.h"

namespace {

TEST(ItemSizes, CommandItemWidthFormula)
{
    const struct {
        const char* name;
        SIZE extent;
        int imageWidth, imageHeight, checkWidth;
        SIZE expected;
    } cases[] = {
        {"16 x 16 images, extent 90 x 13", {90, 13}, 16, 16, 13, {122, 20}},
        {"no images: the column is as wide as the item is high", {50, 13}, 0, 0, 13, {17 + 50 - 13 + 17 + 5, 17}},
        {"text taller than the images", {40, 24}, 16, 16, 13, {28 + 40 - 13 + 28 + 5, 28}},
        {"wide images", {40, 10}, 32, 16, 13, {36 + 40 - 13 + 20 + 5, 20}},
        {"never negative", {0, 0}, 0, 0, 40, {0, 4}},
    };
    for (const auto& c : cases) {
        const SIZE size = CommandItemSize(c.extent, c.imageWidth, c.imageHeight, c.checkWidth);
        EXPECT_EQ(size.cx, c.expected.cx) << c.name;
        EXPECT_EQ(size.cy, c.expected.cy) << c.name;
    }
    EXPECT_EQ(SeparatorItemHeight(19), 9);
    EXPECT_EQ(SeparatorItemHeight(20), 10);
    const SIZE caption = CaptionItemSize({0, 0}, 18);
    EXPECT_EQ(caption.cx, 4);
    EXPECT_EQ(caption.cy, 22);
}

SIZE extentIn(HFONT font, const std::wstring& text)
{
    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ old = SelectObject(info, font);
    SIZE extent = {};
    GetTextExtentPoint32W(info, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(info, old);
    DeleteDC(info);
    return extent;
}

SIZE extentIn(HFONT font, const char* text)
{
    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ old = SelectObject(info, font);
    SIZE extent = {};
    GetTextExtentPoint32A(info, text, static_cast<int>(std::strlen(text)), &extent);
    SelectObject(info, old);
    DeleteDC(info);
    return extent;
}

class Measuring : public ItemTest {
protected:
    MEASUREITEMSTRUCT measure(const MenuItemData* record, UINT type = ODT_MENU)
    {
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = type;
        mis.itemWidth = 777;
        mis.itemHeight = 888;
        mis.itemData = reinterpret_cast<ULONG_PTR>(record);
        measured = MeasureMenuItem(&mis);
        return mis;
    }
    bool measured = false;
};

TEST_F(Measuring, CommandItemsFollowTheFontsAndImagesInForce)
{
    const char* text = "&Open file\tCtrl+O";
    for (bool withImages : {false, true}) {
        for (bool isDefault : {false, true}) {
            SCOPED_TRACE(std::string(withImages ? "images" : "no images") + (isDefault ? ", default" : ""));
            if (withImages && g_imageWidth == 0)
                addColourIcon();
            Record record = makeRecord(text);
            record->isDefault = isDefault;
            const MEASUREITEMSTRUCT mis = measure(record.get());
            ASSERT_TRUE(measured);
            const SIZE expected = CommandItemSize(extentIn(isDefault ? g_menuBoldFont : g_menuFont, text), g_imageWidth,
                                                  g_imageHeight, GetSystemMetrics(SM_CXMENUCHECK));
            EXPECT_EQ(mis.itemWidth, UINT(expected.cx));
            EXPECT_EQ(mis.itemHeight, UINT(expected.cy));
        }
    }
    ASSERT_NE(extentIn(g_menuBoldFont, text).cx, extentIn(g_menuFont, text).cx)
        << "the fonts must differ for the default case to mean anything";
}

TEST_F(Measuring, EachMeasureUsesTheFontInForceThen)
{
    // Measurement keeps its DC and font between items; a font made anew (a
    // settings change, another DPI) must be the one measured from then on.
    const char* text = "&Open file\tCtrl+O";
    Record record = makeRecord(text);
    auto expectedWidth = [&] {
        return UINT(CommandItemSize(extentIn(g_menuFont, text), g_imageWidth, g_imageHeight,
                                    GetSystemMetrics(SM_CXMENUCHECK))
                        .cx);
    };
    EXPECT_EQ(measure(record.get()).itemWidth, expectedWidth());
    LOGFONTA large = {};
    GetObjectA(g_menuFont, sizeof large, &large);
    large.lfHeight = large.lfHeight < 0 ? large.lfHeight * 3 : -33;
    HFONT regular = g_menuFont;
    g_menuFont = CreateFontIndirectA(&large);
    ASSERT_NE(g_menuFont, nullptr);
    const UINT largeWidth = expectedWidth();
    EXPECT_EQ(measure(record.get()).itemWidth, largeWidth);
    DeleteMenuFonts();
    DeleteObject(regular);
    // Made again at the next measure.
    const UINT again = measure(record.get()).itemWidth;
    ASSERT_TRUE(measured);
    EXPECT_EQ(again, expectedWidth());
    EXPECT_LT(again, largeWidth);
}

TEST_F(Measuring, UnicodeTextsAreMeasuredAsTheyAreShown)
{
    const std::wstring greek = L"\u03A9\u03BC\u03AD\u03B3\u03B1 \u2192 \u2713\t\u0416";
    const std::wstring longText = std::wstring(250, L'\u0416') + std::wstring(50, L'W');
    const struct {
        const char* name;
        std::wstring text;
        std::wstring shown;
    } cases[] = {
        {"Greek, arrow, check mark, Cyrillic accelerator", greek, greek},
        {"longer than 255: the first 255 as painted", longText, longText.substr(0, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring throughAnsi = wide_text::fromAnsi(wide_text::toAnsi(c.shown));
        ASSERT_NE(extentIn(g_menuFont, c.shown).cx, extentIn(g_menuFont, throughAnsi).cx);
        Record record = makeRecord(c.text);
        const MEASUREITEMSTRUCT mis = measure(record.get());
        ASSERT_TRUE(measured);
        const SIZE expected = CommandItemSize(extentIn(g_menuFont, c.shown), g_imageWidth, g_imageHeight,
                                              GetSystemMetrics(SM_CXMENUCHECK));
        EXPECT_EQ(mis.itemWidth, UINT(expected.cx));
        EXPECT_EQ(mis.itemHeight, UINT(expected.cy));
    }
}

TEST_F(Measuring, SeparatorAndCaption)
{
    Record separator = makeRecord("", MFT_SEPARATOR);
    MEASUREITEMSTRUCT mis = measure(separator.get());
    ASSERT_TRUE(measured);
    EXPECT_EQ(mis.itemWidth, 0u);
    EXPECT_EQ(mis.itemHeight, UINT(GetSystemMetrics(SM_CYMENU) >> 1));

    for (const char* text : {"", "Caption text"}) {
        // A caption is recognised before the separator test.
        Record caption = makeRecord(text, MFT_SEPARATOR);
        caption->isCaption = true;
        mis = measure(caption.get());
        ASSERT_TRUE(measured);
        EXPECT_EQ(mis.itemWidth, UINT(extentIn(g_captionFont, text).cx + 4)) << text;
        EXPECT_EQ(mis.itemHeight, UINT(GetSystemMetrics(SM_CYSIZE) + 4)) << text;
    }
}

TEST_F(Measuring, ForeignItemsAreDeclinedUntouched)
{
    Record record = makeRecord("mine");
    MenuItemData lookalike = *record;  // carries the magic but is no record of the library
    const struct {
        const char* name;
        const MenuItemData* data;
        UINT type;
    } cases[] = {
        {"a button", record.get(), ODT_BUTTON},
        {"no item data", nullptr, ODT_MENU},
        {"item data that is not a pointer", reinterpret_cast<const MenuItemData*>(0x55), ODT_MENU},
        {"a look-alike record", &lookalike, ODT_MENU},
    };
    for (const auto& c : cases) {
        const MEASUREITEMSTRUCT mis = measure(c.data, c.type);
        EXPECT_FALSE(measured) << c.name;
        EXPECT_EQ(mis.itemWidth, 777u) << c.name;
        EXPECT_EQ(mis.itemHeight, 888u) << c.name;
    }
}

}  // namespace
