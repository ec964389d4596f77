// The bounded readers of toolbar and bitmap resources, fed directly with
// bytes: every supported form, malformed tables, and a repeatable random mutation loop
// whose buffers end at an inaccessible page, so any read past the given
// length faults and fails the run.
#include "toolbar_resource.h"
#include "core_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Swaps to colours no bitmap here holds, so their effect is unmistakable.
const StandardColours kSwaps = {{{0x000000, 0x0A0A0A}, {0x808080, 0x0B0B0B},
                                 {0xC0C0C0, 0x0C0C0C}, {0xFFFFFF, 0x0D0D0D}}};

std::uint32_t patternPixel(int button, int x, int y)
{
    static const std::uint32_t markers[] = {0x800000, 0x008000, 0x000080};
    if (y < 4)
        return 0x0C0C0C;
    if (y < 8)
        return 0x0A0A0A;
    if (y < 12)
        return 0x0B0B0B;
    return x < 8 ? 0x0D0D0D : markers[button % 3];
}

// Bytes placed so that they end where an inaccessible page begins.
class GuardedBytes {
public:
    static constexpr std::size_t kPage = 4096, kRoom = 4 * kPage;
    GuardedBytes()
    {
        base_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, kRoom + kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + kRoom, kPage, PAGE_NOACCESS, &old);
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    const unsigned char* place(const std::vector<unsigned char>& bytes)
    {
        unsigned char* at = base_ + kRoom - bytes.size();
        if (!bytes.empty())
            std::memcpy(at, bytes.data(), bytes.size());
        return at;
    }

private:
    unsigned char* base_;
};

// A 2 x 2 32-bit bitmap in one of the header forms.
std::vector<unsigned char> dib32(std::uint32_t headerSize, std::uint32_t compression, bool masksAfterHeader,
                                 const std::uint32_t (&pixels)[4])
{
    std::vector<unsigned char> b(headerSize + (masksAfterHeader ? 12 : 0) + 16, 0);
    put32(b, 0, headerSize);
    put32(b, 4, 2);
    put32(b, 8, 2);  // bottom-up: the first stored row is the bottom one
    put16(b, 12, 1);
    put16(b, 14, 32);
    put32(b, 16, compression);
    if (compression == BI_BITFIELDS) {
        put32(b, 40, 0x00FF0000);
        put32(b, 44, 0x0000FF00);
        put32(b, 48, 0x000000FF);
    }
    const std::size_t at = b.size() - 16;
    for (int i = 0; i < 4; ++i)
        put32(b, at + 4 * i, pixels[i]);
    return b;
}

TEST(ToolbarResource, ParsesSizeAndEntries)
{
    const std::vector<unsigned char> bytes = {1, 0, 16, 0, 15, 0, 3, 0, 100, 0, 0, 0, 0x01, 0x80};
    ToolbarLayout layout;
    ASSERT_TRUE(ParseToolbarResource(bytes.data(), bytes.size(), layout));
    EXPECT_EQ(layout.buttonWidth, 16);
    EXPECT_EQ(layout.buttonHeight, 15);
    EXPECT_EQ(layout.commandIds, (std::vector<std::uint16_t>{100, 0, 0x8001}));
}

TEST(ToolbarResource, RefusesWhatDoesNotFit)
{
    const struct {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"shorter than the header", {1, 0, 16, 0, 16, 0, 0}},
        {"count past the end", {1, 0, 16, 0, 16, 0, 2, 0, 100, 0}},
        {"count of 65535", {1, 0, 16, 0, 16, 0, 0xFF, 0xFF, 100, 0}},
        {"zero width", {1, 0, 0, 0, 16, 0, 0, 0}},
        {"zero height", {1, 0, 16, 0, 0, 0, 0, 0}},
        {"absurd width", {1, 0, 0x01, 0x10, 16, 0, 0, 0}},
    };
    GuardedBytes guard;
    for (const auto& c : cases) {
        ToolbarLayout layout;
        EXPECT_FALSE(ParseToolbarResource(guard.place(c.bytes), c.bytes.size(), layout)) << c.name;
    }
    ToolbarLayout layout;
    EXPECT_FALSE(ParseToolbarResource(nullptr, 8, layout));
}

class BitmapDecoding : public MenuLibraryTest {};

TEST_F(BitmapDecoding, EveryFixtureFormatDecodesToItsPatternWithColoursSwapped)
{
    const struct {
        const char* name;
        int id;
        int buttons;
        int height;
    } cases[] = {
        {"4 bits", FIXTURE_TOOLBAR_4BIT, 2, 16},
        {"8 bits, 7-entry table", FIXTURE_TOOLBAR_8BIT, 3, 16},
        {"24 bits", FIXTURE_TOOLBAR_24BIT_15, 2, 15},
        {"24 bits, top-down", FIXTURE_TOOLBAR_24BIT_TOP, 2, 16},
        {"32 bits, V5, alpha", FIXTURE_TOOLBAR_32BIT_V5, 2, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = resourceBytes(fixtures, c.id, reinterpret_cast<LPCSTR>(RT_BITMAP));
        DecodedBitmap bitmap;
        ASSERT_TRUE(DecodeToolbarBitmap(bytes.data(), bytes.size(), kSwaps, bitmap));
        ASSERT_EQ(bitmap.width, 16 * c.buttons);
        ASSERT_EQ(bitmap.height, c.height);
        int wrong = 0;
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x)
                wrong += bitmap.pixels[y * bitmap.width + x] != patternPixel(x / 16, x % 16, y);
        EXPECT_EQ(wrong, 0);
    }
    const auto mono = resourceBytes(fixtures, FIXTURE_TOOLBAR_1BIT, reinterpret_cast<LPCSTR>(RT_BITMAP));
    DecodedBitmap bitmap;
    ASSERT_TRUE(DecodeToolbarBitmap(mono.data(), mono.size(), kSwaps, bitmap));
    EXPECT_EQ(bitmap.pixels[0], 0x0A0A0Au);
    EXPECT_EQ(bitmap.pixels[15 * 16 + 15], 0x0D0D0Du);
}

TEST(BitmapForms, ThirtyTwoBitHeadersMasksAndAlpha)
{
    // Stored bottom row first: (0,1) (1,1) then (0,0) (1,0).
    const std::uint32_t opaque[4] = {0x00000000, 0x00123456, 0x00C0C0C0, 0x00FFFFFF};
    const std::uint32_t withAlpha[4] = {0xFF000000, 0xFF123456, 0x00000000, 0x80FFFFFF};
    const struct {
        const char* name;
        std::vector<unsigned char> bytes;
        std::vector<std::uint32_t> expected;  // rows top to bottom
    } cases[] = {
        {"40-byte header", dib32(40, BI_RGB, false, opaque), {0x0C0C0C, 0x0D0D0D, 0x0A0A0A, 0x123456}},
        {"40-byte header, masks after it", dib32(40, BI_BITFIELDS, true, opaque),
         {0x0C0C0C, 0x0D0D0D, 0x0A0A0A, 0x123456}},
        {"V4 header with masks", dib32(108, BI_BITFIELDS, false, opaque), {0x0C0C0C, 0x0D0D0D, 0x0A0A0A, 0x123456}},
        {"V5 header", dib32(124, BI_RGB, false, opaque), {0x0C0C0C, 0x0D0D0D, 0x0A0A0A, 0x123456}},
        {"alpha 0 is the transparent colour", dib32(40, BI_RGB, false, withAlpha),
         {0x0C0C0C, 0x0D0D0D, 0x0A0A0A, 0x123456}},
    };
    for (const auto& c : cases) {
        DecodedBitmap bitmap;
        ASSERT_TRUE(DecodeToolbarBitmap(c.bytes.data(), c.bytes.size(), kSwaps, bitmap)) << c.name;
        EXPECT_EQ(bitmap.pixels, c.expected) << c.name;
    }
    // An alpha-0 pixel that is not light grey is still transparent once alpha is in use.
    const std::uint32_t hidden[4] = {0xFF000000, 0x00123456, 0xFF000000, 0xFF000000};
    DecodedBitmap bitmap;
    const auto bytes = dib32(40, BI_RGB, false, hidden);
    ASSERT_TRUE(DecodeToolbarBitmap(bytes.data(), bytes.size(), kSwaps, bitmap));
    EXPECT_EQ(bitmap.pixels[3], 0x0C0C0Cu);
}

TEST_F(BitmapDecoding, ColourTableEntriesMatchWholeAndShortTablesAreBounded)
{
    // The 8-bit fixture's table: light grey, black, dark grey, white, three markers.
    auto bytes = resourceBytes(fixtures, FIXTURE_TOOLBAR_8BIT, reinterpret_cast<LPCSTR>(RT_BITMAP));
    ASSERT_EQ(bytes[32], 7);
    bytes[40 + 3] = 1;  // light grey with a non-zero reserved byte is not the standard colour
    const std::size_t pixels = 40 + 7 * 4;
    const std::size_t topRow = pixels + 15 * 48;  // bottom-up: the last stored row is the top one
    bytes[topRow + 5] = 200;                      // an index past the 7 entries
    DecodedBitmap bitmap;
    ASSERT_TRUE(DecodeToolbarBitmap(bytes.data(), bytes.size(), kSwaps, bitmap));
    EXPECT_EQ(bitmap.pixels[0], 0xC0C0C0u);
    EXPECT_EQ(bitmap.pixels[5], 0x0A0A0Au) << "shown as black";
}

TEST_F(BitmapDecoding, RefusesMalformedHeadersTablesAndRows)
{
    const auto valid = resourceBytes(fixtures, FIXTURE_TOOLBAR_4BIT, reinterpret_cast<LPCSTR>(RT_BITMAP));
    ASSERT_EQ(valid.size(), 40u + 64u + 16u * 16u);
    struct Case {
        const char* name;
        std::size_t at;  // offset of the 32-bit (or 16-bit when narrow) field changed
        std::uint32_t value;
        bool narrow;
    };
    const Case fields[] = {
        {"core header size", 0, 12, false},        {"unknown header size", 0, 41, false},
        {"larger header pushes rows out", 0, 124, false},    {"zero width", 4, 0, false},
        {"negative width", 4, 0xFFFFFFFF, false},  {"width too large", 4, 70000, false},
        {"zero height", 8, 0, false},              {"most negative height", 8, 0x80000000, false},
        {"rows past the end", 8, 60000, false},      {"16 bits per pixel", 14, 16, true},
        {"2 bits per pixel", 14, 2, true},         {"0 bits per pixel", 14, 0, true},
        {"run-length compression", 16, BI_RLE4, false}, {"bit fields on 4 bits", 16, BI_BITFIELDS, false},
        {"more colours than 4 bits hold", 32, 17, false}, {"absurd colour count", 32, 0xFFFFFFFF, false},
    };
    GuardedBytes guard;
    for (const Case& c : fields) {
        auto bytes = valid;
        if (c.narrow)
            put16(bytes, c.at, static_cast<std::uint16_t>(c.value));
        else
            put32(bytes, c.at, c.value);
        DecodedBitmap bitmap;
        EXPECT_FALSE(DecodeToolbarBitmap(guard.place(bytes), bytes.size(), kSwaps, bitmap)) << c.name;
        EXPECT_TRUE(bitmap.pixels.empty()) << c.name;
    }
    const struct {
        const char* name;
        std::size_t length;
    } cuts[] = {{"nothing", 0}, {"header cut", 39}, {"colour table cut", 40 + 63}, {"last row cut", valid.size() - 1}};
    for (const auto& c : cuts) {
        std::vector<unsigned char> bytes(valid.begin(), valid.begin() + c.length);
        DecodedBitmap bitmap;
        EXPECT_FALSE(DecodeToolbarBitmap(guard.place(bytes), bytes.size(), kSwaps, bitmap)) << c.name;
    }
    const std::uint32_t opaque[4] = {0, 0, 0, 0};
    auto oddMasks = dib32(40, BI_BITFIELDS, true, opaque);
    put32(oddMasks, 40, 0x7C00);
    DecodedBitmap bitmap;
    EXPECT_FALSE(DecodeToolbarBitmap(oddMasks.data(), oddMasks.size(), kSwaps, bitmap)) << "masks other than 8-8-8";
}

TEST_F(BitmapDecoding, MutatedResourcesNeverReadPastTheirLength)
{
    std::vector<std::vector<unsigned char>> bitmaps, toolbars;
    for (int id : {FIXTURE_TOOLBAR_4BIT, FIXTURE_TOOLBAR_8BIT, FIXTURE_TOOLBAR_24BIT_15, FIXTURE_TOOLBAR_24BIT_TOP,
                   FIXTURE_TOOLBAR_32BIT_V5, FIXTURE_TOOLBAR_1BIT}) {
        bitmaps.push_back(resourceBytes(fixtures, id, reinterpret_cast<LPCSTR>(RT_BITMAP)));
        toolbars.push_back(resourceBytes(fixtures, id, MAKEINTRESOURCEA(241)));
    }
    std::mt19937 random(20261210);
    GuardedBytes guard;
    for (int round = 0; round < 4000; ++round) {
        const bool isBitmap = round % 2 == 0;
        const auto& source = (isBitmap ? bitmaps : toolbars)[random() % bitmaps.size()];
        auto bytes = source;
        const bool onlyCut = mutateResource(bytes, isBitmap, random);
        const unsigned char* at = guard.place(bytes);
        if (isBitmap) {
            DecodedBitmap bitmap;
            if (DecodeToolbarBitmap(at, bytes.size(), kSwaps, bitmap)) {
                ASSERT_EQ(bitmap.pixels.size(), std::size_t(bitmap.width) * bitmap.height) << "round " << round;
                ASSERT_GT(bitmap.width, 0);
                ASSERT_GT(bitmap.height, 0);
            }
            if (onlyCut && bytes.size() < source.size()) {
                ASSERT_TRUE(bitmap.pixels.empty()) << "a cut bitmap was taken, round " << round;
            }
        } else {
            ToolbarLayout layout;
            if (ParseToolbarResource(at, bytes.size(), layout)) {
                ASSERT_LE(8 + 2 * layout.commandIds.size(), bytes.size()) << "round " << round;
                ASSERT_GT(layout.buttonWidth, 0);
                ASSERT_GT(layout.buttonHeight, 0);
            }
            if (onlyCut && bytes.size() < source.size()) {
                ASSERT_TRUE(layout.commandIds.empty() && layout.buttonWidth == 0) << "round " << round;
            }
        }
    }
}

}  // namespace
