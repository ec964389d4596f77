// Resources made at run time: toolbar bitmaps, toolbar resources (type 241)
// and icons are written into a temporary copy of a small DLL, which is then
// loaded like any module a host would pass to the libraries.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Bytes = std::vector<uint8_t>;

// A bottom-up 24-bit bitmap resource of `count` images of w x h side by side:
// light grey surroundings (transparent once loaded), a coloured square with
// a black outline and a white stripe, a different hue for every image.
Bytes toolbarBitmap24(int count, int width, int height);

// A toolbar resource: version, width, height, count and one identifier each.
Bytes toolbarResource(int width, int height, const std::vector<uint16_t>& ids);

// A 32-bit icon image with alpha and mask, as stored for an RT_ICON entry.
Bytes iconImage(int size);

// An RT_GROUP_ICON directory naming icon images by resource identifier.
struct IconEntry {
    int size;
    uint16_t id;
    uint32_t bytes;
};
Bytes iconGroup(const std::vector<IconEntry>& entries);

class ResourceModule {
public:
    // Copies templateDll to a temporary file and opens it for resource updates.
    explicit ResourceModule(const std::string& templateDll);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    bool add(LPCSTR type, unsigned id, const Bytes& data);
    // A toolbar: bitmap and toolbar resource of the same identifier.
    bool addToolbar(unsigned id, const std::vector<uint16_t>& commandIds, int imageSize = 16);
    // An icon group with 16 x 16 and 32 x 32 images.
    bool addIcon(unsigned groupId);

    // Writes the resources and loads the module; null on failure.
    HINSTANCE load();

private:
    std::string path_;
    HANDLE update_ = nullptr;
    HINSTANCE module_ = nullptr;
    uint16_t nextIconImage_ = 1;
};

// The folder of the running program, with a trailing backslash.
std::string programFolder();

}  // namespace bench
