// Builds the icon resources of IconModule pixel by pixel.
#include "icon_module.h"

#include <cstdint>
#include <cstring>

namespace button_testing {

namespace {

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// A 32-bit icon image: header, opaque pixels bottom-up, an all-zero mask.
std::vector<BYTE> iconImage(int size, COLORREF colour)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = size;
    header.biHeight = size * 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    const int maskStride = ((size + 31) / 32) * 4;
    std::vector<BYTE> data(sizeof header + size * size * 4 + maskStride * size, 0);
    std::memcpy(data.data(), &header, sizeof header);
    const std::uint32_t pixel = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < size * size; ++i)
        std::memcpy(data.data() + sizeof header + i * 4, &pixel, 4);
    return data;
}

std::vector<BYTE> group(unsigned int id, int size, size_t bytes)
{
    std::vector<BYTE> data(sizeof(GroupHeader) + sizeof(GroupEntry));
    const GroupHeader header{0, 1, 1};
    const GroupEntry entry{static_cast<BYTE>(size), static_cast<BYTE>(size), 0, 0, 1, 32,
                           static_cast<DWORD>(bytes), static_cast<WORD>(id)};
    std::memcpy(data.data(), &header, sizeof header);
    std::memcpy(data.data() + sizeof header, &entry, sizeof entry);
    return data;
}

}  // namespace

IconModule::IconModule(const std::vector<SolidIcon>& icons)
{
    static int serial = 0;
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    path_ = std::string(folder) + "tavro_icons_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial) + ".dll";
    // The DLL beside the test program, wherever the program was started from.
    char source[MAX_PATH];
    GetModuleFileNameA(nullptr, source, sizeof source);
    std::string dll(source);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "Tavrolib.dll";
    if (!CopyFileA(dll.c_str(), path_.c_str(), FALSE))
        return;
    HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
    if (!update)
        return;
    for (const SolidIcon& icon : icons) {
        // Image resources take identifiers above the group ones.
        const unsigned int imageId = 100 + icon.id;
        std::vector<BYTE> image = iconImage(icon.size, icon.colour);
        std::vector<BYTE> dir = group(imageId, icon.size, image.size());
        UpdateResourceA(update, MAKEINTRESOURCEA(3) /* RT_ICON */, MAKEINTRESOURCEA(imageId),
                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), image.data(), static_cast<DWORD>(image.size()));
        UpdateResourceA(update, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEA(icon.id),
                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), dir.data(), static_cast<DWORD>(dir.size()));
    }
    if (!EndUpdateResourceA(update, FALSE))
        return;
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

IconModule::~IconModule()
{
    if (module_)
        FreeLibrary(module_);
    DeleteFileA(path_.c_str());
}

}  // namespace button_testing
