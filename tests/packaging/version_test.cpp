// Every DLL carries a version resource made from the project's version number,
// with its description and original file name, as Explorer and installers
// read them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct VersionInfo {
    std::vector<char> block;

    explicit VersionInfo(const std::string& file)
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
        if (size == 0)
            return;
        block.resize(size);
        if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data()))
            block.clear();
    }

    std::string string(const char* name) const
    {
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        void* value = nullptr;
        UINT length = 0;
        if (block.empty() || !VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value)
            return "(missing)";
        return static_cast<const char*>(value);
    }

    const VS_FIXEDFILEINFO* fixed() const
    {
        void* value = nullptr;
        UINT length = 0;
        if (block.empty() || !VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }
};

class VersionResource : public ::testing::TestWithParam<const char*> {};

TEST_P(VersionResource, CarriesTheProjectVersionAndItsNames)
{
    const std::string name = GetParam();
    const VersionInfo info(name + ".dll");
    ASSERT_FALSE(info.block.empty()) << name << ".dll has no version resource";

    const VS_FIXEDFILEINFO* fixed = info.fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(TAVRO_VERSION_MINOR, TAVRO_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, TAVRO_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    EXPECT_EQ(info.string("FileVersion"), TAVRO_VERSION);
    EXPECT_EQ(info.string("ProductVersion"), TAVRO_VERSION);
    EXPECT_EQ(info.string("OriginalFilename"), name + ".dll");
    EXPECT_EQ(info.string("InternalName"), name);
    EXPECT_NE(info.string("FileDescription"), "(missing)");
    EXPECT_FALSE(info.string("FileDescription").empty());
}

INSTANTIATE_TEST_SUITE_P(EveryDll, VersionResource, ::testing::Values("Orvane", "Tavrolib", "Nellolib"),
                         [](const auto& param) { return std::string(param.param); });

}  // namespace
