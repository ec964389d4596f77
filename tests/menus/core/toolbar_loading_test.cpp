// Nello_LoadToolbar against the fixture module: images, bindings, the image
// size rule, duplicates, colours read back from the image list, and modules
// whose resources are malformed.
#include "core_fixture.h"
#include "nellolib.h"
#include "toolbar_resource.h"

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

// A copy of the fixture module holding, instead of its own resources, one
// bitmap and toolbar pair per case, at identifiers kFirstCase onwards.
class MalformedModule : public MenuLibraryTest {
protected:
    struct Case {
        const char* name;
        std::vector<unsigned char> bitmap;
        std::vector<unsigned char> toolbar;
    };
    static constexpr WORD kFirstCase = 1000;

    void SetUp() override
    {
        MenuLibraryTest::SetUp();
        bitmap = resourceBytes(fixtures, FIXTURE_TOOLBAR_4BIT, reinterpret_cast<LPCSTR>(RT_BITMAP));
        toolbar = resourceBytes(fixtures, FIXTURE_TOOLBAR_4BIT, MAKEINTRESOURCEA(241));
        ASSERT_FALSE(bitmap.empty());
        ASSERT_FALSE(toolbar.empty());
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
        if (!path.empty())
            DeleteFileA(path.c_str());
        MenuLibraryTest::TearDown();
    }

    void buildModule(const std::vector<Case>& cases)
    {
        char temp[MAX_PATH], original[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "MalformedFixtures.dll";
        GetModuleFileNameA(fixtures, original, MAX_PATH);
        ASSERT_TRUE(CopyFileA(original, path.c_str(), FALSE));
        HANDLE update = BeginUpdateResourceA(path.c_str(), TRUE);
        ASSERT_NE(update, nullptr);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const WORD id = static_cast<WORD>(kFirstCase + i);
            auto& c = const_cast<Case&>(cases[i]);
            UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(id), 0, c.bitmap.data(),
                            static_cast<DWORD>(c.bitmap.size()));
            UpdateResourceA(update, MAKEINTRESOURCEA(241), MAKEINTRESOURCEA(id), 0, c.toolbar.data(),
                            static_cast<DWORD>(c.toolbar.size()));
        }
        ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }

    // Nothing of any refused case may be left behind.
    void expectNothingRegistered()
    {
        EXPECT_EQ(g_imageWidth, 0);
        EXPECT_EQ(imageCount(), 0);
        EXPECT_TRUE(g_toolbars.empty());
        EXPECT_TRUE(g_commandImages.empty());
    }

    std::vector<unsigned char> bitmap, toolbar;
    HMODULE module = nullptr;
    std::string path;
};

TEST_F(MalformedModule, RefusedWithNothingRegistered)
{
    std::vector<Case> cases;
    cases.push_back({"sound pair, proving the rewritten module usable", bitmap, toolbar});
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
    buildModule(cases);

    ASSERT_TRUE(Nello_LoadToolbar(module, kFirstCase));
    EXPECT_EQ(imageCount(), 2);
    Nello_UnLoadToolbars();
    for (std::size_t i = 1; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_FALSE(Nello_LoadToolbar(module, static_cast<unsigned int>(kFirstCase + i)));
        expectNothingRegistered();
    }
}

// Random damage to sound pairs: whatever is refused leaves nothing behind,
// and whatever is taken is what the bounded readers accept.
TEST_F(MalformedModule, MutatedPairsRegisterOnlyWhatReadsSoundly)
{
    std::mt19937 random(1210);
    std::vector<Case> cases;
    for (int i = 0; i < 300; ++i) {
        Case c{"mutated", bitmap, toolbar};
        if (i % 3 != 1)
            mutateResource(c.bitmap, true, random);
        if (i % 3 != 0)
            mutateResource(c.toolbar, false, random);
        cases.push_back(std::move(c));
    }
    buildModule(cases);
    int taken = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        Nello_UnLoadToolbars();
        DecodedBitmap decoded;
        ToolbarLayout layout;
        const bool sound = DecodeToolbarBitmap(cases[i].bitmap.data(), cases[i].bitmap.size(), CurrentStandardColours(),
                                               decoded) &&
                           ParseToolbarResource(cases[i].toolbar.data(), cases[i].toolbar.size(), layout);
        if (Nello_LoadToolbar(module, static_cast<unsigned int>(kFirstCase + i))) {
            ++taken;
            EXPECT_TRUE(sound);
            EXPECT_EQ(g_imageWidth, layout.buttonWidth);
            EXPECT_EQ(g_imageHeight, layout.buttonHeight);
        } else {
            expectNothingRegistered();
        }
    }
    EXPECT_GT(taken, 0) << "some damage leaves a pair readable";
    EXPECT_LT(taken, 300);
}

}  // namespace
