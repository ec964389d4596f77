// Seeded mutation of the toolbar, bitmap and icon resources the menu library
// reads: fed to the readers fenced by inaccessible pages, and written into a
// module at run time for Nello_LoadToolbar and Nello_AddIcon. Nothing may
// crash, nothing may be read outside a resource, and a refusal registers
// nothing while an acceptance binds only images that exist.
#include "menu_library_fixture.h"
#include "menu_state_snapshot.h"
#include "nellolib.h"
#include "robust_support.h"
#include "tavro_fixtures.h"
#include "toolbar_resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using robust::MenuSnapshot;

const int kToolbarIds[] = {FIXTURE_TOOLBAR_4BIT,     FIXTURE_TOOLBAR_8BIT,     FIXTURE_TOOLBAR_24BIT_15,
                           FIXTURE_TOOLBAR_24BIT_TOP, FIXTURE_TOOLBAR_32BIT_V5, FIXTURE_TOOLBAR_1BIT};
const std::vector<std::size_t>& kDibFields = robust::kDibHeaderFields;
const std::vector<std::size_t> kToolbarFields = {0, 2, 4, 6, 8, 10};

LPCSTR toolbarType()
{
    return MAKEINTRESOURCEA(241);
}

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return at + 4 <= b.size() ? std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                                    std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24
                              : 0;
}

std::uint16_t le16(const std::vector<unsigned char>& b, std::size_t at)
{
    return at + 2 <= b.size() ? static_cast<std::uint16_t>(b[at] | b[at + 1] << 8) : 0;
}

// A fresh library for each test, and the fixture module to copy from.
class MenuResourceFuzz : public FreshMenuLibraryTest {
protected:
    void SetUp() override
    {
        FreshMenuLibraryTest::SetUp();
        seed = robust::runSeed();
    }

    std::uint32_t seed = 0;
};

TEST_F(MenuResourceFuzz, ReadersStayInsideTheirBytesOnEitherSide)
{
    std::vector<std::vector<unsigned char>> bitmaps, toolbars;
    for (int id : kToolbarIds) {
        bitmaps.push_back(robust::resourceBytes(fixtures, reinterpret_cast<LPCSTR>(RT_BITMAP), id));
        toolbars.push_back(robust::resourceBytes(fixtures, toolbarType(), id));
        ASSERT_FALSE(bitmaps.back().empty() || toolbars.back().empty()) << id;
    }
    const StandardColours colours = CurrentStandardColours();
    robust::FencedBytes fence;
    const int cases = robust::scaled(20000, 400000);
    for (int n = 0; n < cases; ++n) {
        std::mt19937 random = robust::caseRandom(seed, n);
        const bool isBitmap = n % 2 == 0;
        const auto fenceSide = n % 4 < 2 ? robust::FencedBytes::Fence::Before : robust::FencedBytes::Fence::After;
        const auto& source = (isBitmap ? bitmaps : toolbars)[random() % bitmaps.size()];
        const auto bytes = robust::mutated(source, random, isBitmap ? kDibFields : kToolbarFields);
        const unsigned char* at = fence.place(bytes, fenceSide);
        ASSERT_NE(at, nullptr);
        if (isBitmap) {
            DecodedBitmap decoded;
            if (DecodeToolbarBitmap(at, bytes.size(), colours, decoded)) {
                // Whatever was accepted declares a size whose rows fit in it.
                const std::int32_t height = static_cast<std::int32_t>(le32(bytes, 8));
                ASSERT_EQ(decoded.width, static_cast<std::int32_t>(le32(bytes, 4))) << robust::replayNote(seed, n);
                ASSERT_EQ(decoded.height, height < 0 ? -height : height) << robust::replayNote(seed, n);
                const std::uint64_t rowBytes = (std::uint64_t(decoded.width) * le16(bytes, 14) + 31) / 32 * 4;
                ASSERT_LE(rowBytes * decoded.height, bytes.size()) << robust::replayNote(seed, n);
                ASSERT_EQ(decoded.pixels.size(), std::size_t(decoded.width) * decoded.height)
                    << robust::replayNote(seed, n);
            }
        } else {
            ToolbarLayout layout;
            if (ParseToolbarResource(at, bytes.size(), layout)) {
                ASSERT_EQ(layout.commandIds.size(), le16(bytes, 6)) << robust::replayNote(seed, n);
                ASSERT_LE(8 + 2 * layout.commandIds.size(), bytes.size()) << robust::replayNote(seed, n);
                ASSERT_EQ(layout.buttonWidth, le16(bytes, 2)) << robust::replayNote(seed, n);
                ASSERT_EQ(layout.buttonHeight, le16(bytes, 4)) << robust::replayNote(seed, n);
            }
        }
    }
    std::printf("robustness: %d resources fed to the readers\n", cases);
}

// One mutated toolbar pair of a rewritten module.
struct ToolbarCase {
    std::vector<unsigned char> bitmap;
    std::vector<unsigned char> toolbar;
};

ToolbarCase mutatedToolbar(std::mt19937& random, const std::vector<ToolbarCase>& sources)
{
    ToolbarCase c = sources[random() % sources.size()];
    switch (random() % 3) {
    case 0:
        c.bitmap = robust::mutated(c.bitmap, random, kDibFields);
        break;
    case 1:
        c.toolbar = robust::mutated(c.toolbar, random, kToolbarFields);
        break;
    default:
        c.bitmap = robust::mutated(c.bitmap, random, kDibFields);
        c.toolbar = robust::mutated(c.toolbar, random, kToolbarFields);
        break;
    }
    return c;
}

// After a toolbar was taken into an empty library: the size is the
// toolbar's, every command with a place in the bitmap shows an image, and
// none shows an image that does not exist.
void expectSoundToolbarRegistration(const ToolbarCase& c, const std::string& note)
{
    ASSERT_GE(c.toolbar.size(), 8u) << note;
    EXPECT_EQ(g_imageWidth, le16(c.toolbar, 2)) << note;
    EXPECT_EQ(g_imageHeight, le16(c.toolbar, 4)) << note;
    EXPECT_EQ(g_toolbars.size(), 1) << note;
    const int images = ImageList_GetImageCount(g_imageList);
    const std::size_t count = le16(c.toolbar, 6);
    ASSERT_LE(8 + 2 * count, c.toolbar.size()) << note;
    int listed = 0;  // commands before this one, each with its place in the bitmap
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned int command = le16(c.toolbar, 8 + 2 * i);
        if (command == 0)
            continue;
        const int image = FindCommandImage(command);
        if (listed++ < images) {
            EXPECT_GE(image, 0) << note << ", command " << command << " has an image in the bitmap";
        }
        EXPECT_LT(image, images) << note << ", command " << command << " bound to an image that does not exist";
    }
}

TEST_F(MenuResourceFuzz, RewrittenToolbarsAreRefusedWithNothingKeptOrBindOnlyRealImages)
{
    std::vector<ToolbarCase> sources;
    for (int id : kToolbarIds)
        sources.push_back({robust::resourceBytes(fixtures, reinterpret_cast<LPCSTR>(RT_BITMAP), id),
                           robust::resourceBytes(fixtures, toolbarType(), id)});
    const MenuSnapshot empty = MenuSnapshot::take();
    const int gdiObjects = robust::liveGdiObjects();
    const int cases = robust::scaled(600, 20000);
    const int perModule = 200;
    int accepted = 0;
    for (int first = 0; first < cases; first += perModule) {
        robust::ResourceModule rewritten(robust::modulePath(fixtures), "RobustToolbars.dll");
        std::vector<ToolbarCase> batch;
        for (int n = first; n < first + perModule && n < cases; ++n) {
            std::mt19937 random = robust::caseRandom(seed, n);
            batch.push_back(mutatedToolbar(random, sources));
            const WORD id = static_cast<WORD>(1 + n - first);
            rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), id, batch.back().bitmap);
            rewritten.add(toolbarType(), id, batch.back().toolbar);
        }
        ASSERT_TRUE(rewritten.write());
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const std::string note = robust::replayNote(seed, static_cast<std::uint32_t>(first + i));
            const unsigned int id = static_cast<unsigned int>(1 + i);
            // Resources written as one byte stand for empty ones.
            if (Nello_LoadToolbar(rewritten.module(), id)) {
                ++accepted;
                expectSoundToolbarRegistration(batch[i], note);
                EXPECT_FALSE(Nello_LoadToolbar(rewritten.module(), id)) << note;
            } else {
                ASSERT_EQ(MenuSnapshot::take(), empty) << note << ": a refused toolbar left something behind";
            }
            Nello_UnLoadToolbars();
            if (HasFatalFailure() || HasNonfatalFailure())
                return;
        }
    }
    EXPECT_EQ(robust::liveGdiObjects(), gdiObjects) << "bitmaps or image lists left over";
    std::printf("robustness: %d rewritten toolbars, %d accepted\n", cases, accepted);
}

TEST_F(MenuResourceFuzz, RewrittenIconsAreRefusedWithNothingKeptOrAddExactlyOneImage)
{
    std::vector<robust::IconResource> sources;
    for (int id : {FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN}) {
        sources.push_back(robust::iconResource(fixtures, static_cast<WORD>(id)));
        ASSERT_FALSE(sources.back().image.empty()) << id;
    }
    const int gdiObjects = robust::liveGdiObjects();
    const int cases = robust::scaled(300, 10000);
    const int perModule = 150;
    int accepted = 0;
    for (int first = 0; first < cases; first += perModule) {
        robust::ResourceModule rewritten(robust::modulePath(fixtures), "RobustIcons.dll");
        for (int n = first; n < first + perModule && n < cases; ++n) {
            std::mt19937 random = robust::caseRandom(seed, n);
            const auto& source = sources[random() % sources.size()];
            robust::addIcon(rewritten, static_cast<WORD>(1 + n - first), static_cast<WORD>(1000 + n - first),
                            robust::mutatedIcon(source, random));
        }
        ASSERT_TRUE(rewritten.write());
        for (int n = first; n < first + perModule && n < cases; ++n) {
            const std::string note = robust::replayNote(seed, n);
            const MenuSnapshot before = MenuSnapshot::take();
            const unsigned int command = 100 + n % 7;
            if (Nello_AddIcon(rewritten.module(), 1 + n - first, command)) {
                ++accepted;
                const MenuSnapshot after = MenuSnapshot::take();
                EXPECT_EQ(after.images, before.images + 1) << note;
                EXPECT_EQ(after.iconResources, before.iconResources + 1) << note;
                EXPECT_LT(FindCommandImage(command), after.images) << note;
            } else {
                ASSERT_EQ(MenuSnapshot::take(), before) << note << ": a refused icon left something behind";
            }
            // Every tenth case starts empty again, so refusals are also
            // checked against a library that has not fixed its size yet.
            if (n % 10 == 9)
                Nello_UnLoadToolbars();
        }
    }
    Nello_UnLoadToolbars();
    EXPECT_EQ(robust::liveGdiObjects(), gdiObjects) << "icons or image lists left over";
    std::printf("robustness: %d rewritten icons, %d accepted\n", cases, accepted);
}

}  // namespace
