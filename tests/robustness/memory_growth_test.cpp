// What the libraries hold per record: the process's private bytes before and
// with many attached buttons and many registered images. The bounds are
// generous (the records themselves are a few hundred bytes) but real: a
// record that kept a bitmap of its button or a copy of the whole image list
// would pass them many times over.
#include "button_dialog.h"
#include "host_api.h"
#include "robust_support.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using button_testing::ButtonDialog;
using robust::LoadedLibrary;

// The benchmark's sizes in a deep run; a fifth of them otherwise, which the
// heap's rounding still does not hide.
const int kDialogs = robust::scaled(100, 500);
constexpr int kButtonsPerDialog = 20;
const int kImages = robust::scaled(400, 2000);

// Private bytes gained per record between two readings.
double perRecord(std::size_t before, std::size_t with, int records)
{
    return (static_cast<double>(with) - static_cast<double>(before)) / records;
}

TEST(MemoryGrowth, AttachedButtonsTakeLittleEachAndGiveItBack)
{
    LoadedLibrary dll("Tavrolib.dll");
    const robust::TavroApi api(dll);
    ASSERT_TRUE(api.complete());
    std::vector<std::unique_ptr<ButtonDialog>> dialogs;
    for (int d = 0; d < kDialogs; ++d) {
        dialogs.push_back(std::make_unique<ButtonDialog>(120, 60));
        // Hidden, so that attaching repaints nothing: only the records are measured.
        ShowWindow(dialogs.back()->hwnd(), SW_HIDE);
        for (int b = 0; b < kButtonsPerDialog; ++b)
            ASSERT_NE(dialogs.back()->addButton(100 + b), nullptr);
    }
    const std::size_t before = robust::privateBytes();
    for (const auto& dialog : dialogs) {
        ASSERT_TRUE(api.install(dialog->hwnd()));
        for (int b = 0; b < kButtonsPerDialog; ++b)
            ASSERT_TRUE(api.setGlisk(dialog->hwnd(), 100 + b, true));
    }
    const std::size_t with = robust::privateBytes();
    for (const auto& dialog : dialogs)
        ASSERT_TRUE(api.unInstall(dialog->hwnd()));
    const std::size_t after = robust::privateBytes();
    const int buttons = kDialogs * kButtonsPerDialog;
    std::printf("memory: %d attached buttons: private bytes %zu before, %zu with them (%.0f per button), %zu after\n",
                buttons, before, with, perRecord(before, with, buttons), after);
    ASSERT_GT(before, 0u) << "private bytes cannot be read";
    EXPECT_LE(perRecord(before, with, buttons), 2048.0);
    // What they took comes back (the heap keeps its pages, so not below `with`
    // necessarily, but never more than a page per hundred buttons beyond it).
    EXPECT_LE(after, with + buttons / 100 * 4096u);
}

TEST(MemoryGrowth, RegisteredImagesTakeLittleMoreThanTheirPixels)
{
    LoadedLibrary dll("Nellolib.dll");
    const robust::NelloApi api(dll);
    ASSERT_TRUE(api.complete());
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    ASSERT_NE(fixtures, nullptr);
    api.unLoadToolbars();
    const std::size_t before = robust::privateBytes();
    for (int i = 0; i < kImages; ++i)
        ASSERT_TRUE(api.addIconResource(fixtures, FIXTURE_ICON_COLOURS, 20000 + i)) << "image " << i;
    const std::size_t with = robust::privateBytes();
    api.unLoadToolbars();
    const std::size_t after = robust::privateBytes();
    FreeLibrary(fixtures);
    std::printf("memory: %d registered images: private bytes %zu before, %zu with them (%.0f per image), %zu after\n",
                kImages, before, with, perRecord(before, with, kImages), after);
    ASSERT_GT(before, 0u) << "private bytes cannot be read";
    // A 16 x 16 image at 24 bits with its mask is 800 bytes in the list; the
    // library's records come on top.
    EXPECT_LE(perRecord(before, with, kImages), 8192.0);
    EXPECT_LE(after, before + 256 * 1024u) << "the images were not given back";
}

}  // namespace
