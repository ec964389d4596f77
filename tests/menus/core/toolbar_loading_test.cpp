// Nello_LoadToolbar against the fixture module: images, bindings, the image
// size rule, duplicates, colours read back from the image list, and modules
// whose resources are malformed.
#include "core_fixture.h"
#include "nellolib.h"

#include <cstdio>
#include <string>

namespace {

struct ToolbarCase {
    const char* name;
    int id;
    int buttonHeight;
    int images;
    std::vector<unsigned int> commands;  // the non-separator entries, in order
    Pattern pattern;
};

const ToolbarCase kToolbars[] = {
    {"4 bits, separator", FIXTURE_TOOLBAR_4BIT, 16, 2, {100, 101}, Pattern::Standard},
    {"8 bits, short colour table", FIXTURE_TOOLBAR_8BIT, 16, 3, {300, 100, 301}, Pattern::Standard},
    {"24 bits, 16 x 15", FIXTURE_TOOLBAR_24BIT_15, 15, 2, {400, 401}, Pattern::Standard},
    {"24 bits, top-down", FIXTURE_TOOLBAR_24BIT_TOP, 16, 2, {410, 411}, Pattern::Standard},
    {"32 bits, V5 header, alpha", FIXTURE_TOOLBAR_32BIT_V5, 16, 2, {500, 501}, Pattern::Standard},
    {"1 bit", FIXTURE_TOOLBAR_1BIT, 16, 1, {600}, Pattern::Mono},
};

class ToolbarLoading : public MenuLibraryTest {};

TEST_F(ToolbarLoading, EveryFormatGivesItsImagesBindingsAndRemappedColours)
{
    for (const ToolbarCase& c : kToolbars) {
        SCOPED_TRACE(c.name);
        Nello_UnLoadToolbars();
        ASSERT_TRUE(Nello_LoadToolbar(fixtures, c.id));
        EXPECT_EQ(g_imageWidth, 16);
        EXPECT_EQ(g_imageHeight, c.buttonHeight);
        ASSERT_EQ(imageCount(), c.images);
        std::vector<int> expected;
        for (int i = 0; i < static_cast<int>(c.commands.size()); ++i)
            expected.push_back(i);
        EXPECT_EQ(imagesOf(c.commands), expected);
        for (int button = 0; button < c.images; ++button) {
            const std::vector<COLORREF> pixels = drawnImage(button);
            int wrong = 0;
            std::string first;
            for (int y = 0; y < g_imageHeight; ++y)
                for (int x = 0; x < g_imageWidth; ++x) {
                    const COLORREF want = expectedButtonPixel(c.pattern, button, x, y);
                    const COLORREF got = pixels[y * g_imageWidth + x];
                    if (got != want && wrong++ == 0) {
                        char text[96];
                        std::snprintf(text, sizeof text, "button %d (%d,%d): %06lx, want %06lx", button, x,
                                      y, static_cast<unsigned long>(got), static_cast<unsigned long>(want));
                        first = text;
                    }
                }
            EXPECT_EQ(wrong, 0) << first;
        }
    }
}

TEST_F(ToolbarLoading, SecondLoadOfTheSameToolbarIsRefusedAndAddsNothing)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    EXPECT_FALSE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    EXPECT_EQ(imageCount(), 2);
    EXPECT_EQ(g_toolbars.size(), 1);
}

TEST_F(ToolbarLoading, OnlyTheLowWordNamesTheResourceButTheWholeValueIsTheKey)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, 0x10000u | FIXTURE_TOOLBAR_4BIT));
    EXPECT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    EXPECT_EQ(imageCount(), 4);
    EXPECT_EQ(g_toolbars.get<ToolbarEntry>(0)->resourceId, 0x10000u | FIXTURE_TOOLBAR_4BIT);
}

TEST_F(ToolbarLoading, SharedCommandKeepsTheFirstImageWhileLaterImagesStayAligned)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_8BIT));
    EXPECT_EQ(imageCount(), 5);
    EXPECT_EQ(imagesOf({100, 101, 300, 301}), (std::vector<int>{0, 1, 2, 4}));
}

TEST_F(ToolbarLoading, TheFirstRegistrationFixesTheImageSizeUntilUnloaded)
{
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 1));
    EXPECT_FALSE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_24BIT_15));
    EXPECT_EQ(imageCount(), 1);
    EXPECT_EQ(FindCommandImage(400), -1);
    EXPECT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    EXPECT_EQ(imageCount(), 3);

    Nello_UnLoadToolbars();
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_24BIT_15));
    EXPECT_EQ(g_imageHeight, 15);
    EXPECT_FALSE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    EXPECT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 1)) << "icons are loaded at the size in force";
    EXPECT_EQ(imageCount(), 3);
}

TEST_F(ToolbarLoading, MissingResourcesAreRefusedWithNothingRegistered)
{
    EXPECT_FALSE(Nello_LoadToolbar(fixtures, FIXTURE_BITMAP_ONLY));
    EXPECT_FALSE(Nello_LoadToolbar(fixtures, 999));
    EXPECT_EQ(g_imageWidth, 0);
    EXPECT_EQ(g_imageList, nullptr);
    EXPECT_TRUE(g_toolbars.empty());
    EXPECT_TRUE(g_commandImages.empty());
}

// A copy of the fixture module whose resources are replaced by malformed
// ones, one case per identifier.
class MalformedModule : public MenuLibraryTest {
protected:
    struct Case {
        const char* name;
        std::vector<unsigned char> bitmap;
        std::vector<unsigned char> toolbar;
    };

    static std::vector<unsigned char> bytesOf(FixtureResource r)
    {
        const auto* p = static_cast<const unsigned char*>(r.data);
        return std::vector<unsigned char>(p, p + r.size);
    }

    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
        if (!path.empty())
            DeleteFileA(path.c_str());
        MenuLibraryTest::TearDown();
    }

    HMODULE module = nullptr;
    std::string path;
};

void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}

TEST_F(MalformedModule, RefusedWithNothingRegistered)
{
    const auto bitmap = bytesOf(fixtureResource(fixtures, FIXTURE_TOOLBAR_4BIT, reinterpret_cast<LPCSTR>(RT_BITMAP)));
    const auto toolbar = bytesOf(fixtureResource(fixtures, FIXTURE_TOOLBAR_4BIT, MAKEINTRESOURCEA(241)));
    ASSERT_FALSE(bitmap.empty());
    ASSERT_FALSE(toolbar.empty());

    std::vector<Case> cases;
    auto toolbarWithCount = toolbar;
    toolbarWithCount[6] = 200;
    cases.push_back({"count past the toolbar resource", bitmap, toolbarWithCount});
    cases.push_back({"toolbar resource shorter than its header", bitmap, {1, 0, 16, 0, 16, 0}});
    auto zeroWidth = toolbar;
    zeroWidth[2] = zeroWidth[3] = 0;
    cases.push_back({"zero button width", bitmap, zeroWidth});
    cases.push_back({"bitmap shorter than its header", {bitmap.begin(), bitmap.begin() + 30}, toolbar});
    cases.push_back({"colour table cut", {bitmap.begin(), bitmap.begin() + 40 + 30}, toolbar});
    cases.push_back({"pixel rows cut", {bitmap.begin(), bitmap.end() - 4}, toolbar});
    auto hugeWidth = bitmap;
    put32(hugeWidth, 4, 0x7FFFFFFF);
    cases.push_back({"absurd bitmap width", hugeWidth, toolbar});
    auto hugeHeader = bitmap;
    put32(hugeHeader, 0, 0xFFFFFFF0);
    cases.push_back({"header size past the resource", hugeHeader, toolbar});

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "MalformedFixtures.dll";
    char original[MAX_PATH];
    GetModuleFileNameA(fixtures, original, MAX_PATH);
    ASSERT_TRUE(CopyFileA(original, path.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(path.c_str(), TRUE);
    ASSERT_NE(update, nullptr);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const WORD id = static_cast<WORD>(1000 + i);
        UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(id), 0,
                        cases[i].bitmap.data(), static_cast<DWORD>(cases[i].bitmap.size()));
        UpdateResourceA(update, MAKEINTRESOURCEA(241), MAKEINTRESOURCEA(id), 0, cases[i].toolbar.data(),
                        static_cast<DWORD>(cases[i].toolbar.size()));
    }
    // One sound pair proves the rewritten module itself is usable.
    UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(999), 0,
                    const_cast<unsigned char*>(bitmap.data()), static_cast<DWORD>(bitmap.size()));
    UpdateResourceA(update, MAKEINTRESOURCEA(241), MAKEINTRESOURCEA(999), 0,
                    const_cast<unsigned char*>(toolbar.data()), static_cast<DWORD>(toolbar.size()));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_FALSE(Nello_LoadToolbar(module, static_cast<unsigned int>(1000 + i)));
        EXPECT_EQ(g_imageWidth, 0);
        EXPECT_TRUE(g_toolbars.empty());
        EXPECT_TRUE(g_commandImages.empty());
    }
    EXPECT_TRUE(Nello_LoadToolbar(module, 999));
    EXPECT_EQ(imageCount(), 2);
}

}  // namespace
