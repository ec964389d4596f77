// Runs the showcase's picture mode as a newcomer's command does and checks
// what it wrote: every picture there, a valid PNG of the right size, and the
// states that must look different drawn differently.
#include <gtest/gtest.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Png {
    bool valid = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB
    COLORREF at(int x, int y) const
    {
        const std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

std::string g_dir;

// Reads the PNG signature and header by hand, then decodes it with WIC.
Png readPng(const std::string& name)
{
    Png png;
    const std::string path = g_dir + "\\" + name + ".png";
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    static const unsigned char signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() < 33 || !std::equal(std::begin(signature), std::end(signature), bytes.begin())
        || std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR")
        return png;
    auto be32 = [&](size_t at) { return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]; };
    png.width = be32(16);
    png.height = be32(20);

    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    const std::wstring widePath(path.begin(), path.end());
    png.pixels.resize(static_cast<size_t>(png.width) * png.height);
    png.valid = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))
                && SUCCEEDED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                                WICDecodeMetadataCacheOnDemand, &decoder))
                && SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter))
                && SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                                   nullptr, 0, WICBitmapPaletteTypeCustom))
                && SUCCEEDED(converter->CopyPixels(nullptr, png.width * 4,
                                                   static_cast<UINT>(png.pixels.size() * 4),
                                                   reinterpret_cast<BYTE*>(png.pixels.data())));
    for (IUnknown* p : {static_cast<IUnknown*>(converter), static_cast<IUnknown*>(frame),
                        static_cast<IUnknown*>(decoder), static_cast<IUnknown*>(factory)})
        if (p)
            p->Release();
    return png;
}

class ShowcasePictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        char full[MAX_PATH];
        GetFullPathNameA("showcase-test-pictures", MAX_PATH, full, nullptr);
        g_dir = full;
        std::string command = "showcase.exe --pictures \"" + g_dir + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0) << "the showcase did not finish";
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_EQ(code, 0u) << "the showcase reported a failure";
    }
};

const char* const kButtonStates[] = {
    "button-3d-at-rest", "button-3d-selected", "button-3d-checked", "button-3d-checked-selected",
    "button-3d-indeterminate", "button-3d-arrow-held", "button-3d-notify-press", "button-flat-at-rest",
    "button-flat-hot", "button-flat-hot-selected", "button-flat-checked", "button-flat-checked-hot",
    "button-flat-indeterminate", "button-flat-indeterminate-hot", "button-flat-arrow-held-hot",
    "button-flat-notify-press-hot",
};

TEST_F(ShowcasePictures, EveryButtonStateIsAPictureOfTheSpecimenSize)
{
    for (const char* name : kButtonStates) {
        const Png png = readPng(name);
        EXPECT_TRUE(png.valid) << name;
        EXPECT_EQ(png.width, 120) << name;
        EXPECT_EQ(png.height, 34) << name;
    }
}

TEST_F(ShowcasePictures, MenusGalleryAndSheetAreValidPictures)
{
    for (const char* name : {"menu-look0-file", "menu-look0-edit-insert", "menu-look1-file", "menu-look1-edit-insert",
                             "menu-look0-unicode", "menu-look1-unicode", "button-gallery", "contact-sheet"}) {
        const Png png = readPng(name);
        EXPECT_TRUE(png.valid) << name;
        EXPECT_GT(png.width, 60) << name;
        EXPECT_GT(png.height, 40) << name;
    }
    EXPECT_EQ(readPng("contact-sheet").width, 1100);
}

TEST_F(ShowcasePictures, StatesThatMustLookDifferentDo)
{
    const std::pair<const char*, const char*> pairs[] = {
        {"button-3d-at-rest", "button-3d-selected"},     {"button-3d-at-rest", "button-3d-checked"},
        {"button-3d-at-rest", "button-3d-arrow-held"},   {"button-flat-at-rest", "button-flat-hot"},
        {"button-flat-at-rest", "button-flat-checked"},  {"button-flat-hot", "button-flat-hot-selected"},
        {"menu-look0-file", "menu-look1-file"},          {"menu-look0-edit-insert", "menu-look1-edit-insert"},
        {"menu-look0-unicode", "menu-look1-unicode"},
    };
    for (const auto& [a, b] : pairs) {
        const Png first = readPng(a);
        const Png second = readPng(b);
        ASSERT_TRUE(first.valid && second.valid) << a << " / " << b;
        EXPECT_NE(first.pixels, second.pixels) << a << " and " << b << " look the same";
    }
}

TEST_F(ShowcasePictures, FramesAreTheLibrarysOwn)
{
    // A 3D button at rest has a raised frame, a flat one at rest none at all.
    EXPECT_EQ(readPng("button-3d-at-rest").at(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(readPng("button-3d-at-rest").at(119, 33), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(readPng("button-flat-at-rest").at(0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(readPng("button-flat-hot").at(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(readPng("button-flat-hot").at(119, 33), GetSysColor(COLOR_BTNSHADOW));
}

}  // namespace
