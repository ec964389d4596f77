// Builds resource data in memory and writes it into a temporary module.
#include "test_module.h"

#include <cstring>

namespace bench {

namespace {

template <class T>
void append(Bytes& out, const T& value)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

void appendWord(Bytes& out, uint16_t w) { append(out, w); }

BITMAPINFOHEADER header(int width, int height, int bits)
{
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = BI_RGB;
    return h;
}

// A saturated colour for image i, walking round the hue circle.
void hue(int i, uint8_t& r, uint8_t& g, uint8_t& b)
{
    int step = (i * 37) % 360;
    int sector = step / 60, f = (step % 60) * 255 / 60;
    uint8_t up = static_cast<uint8_t>(f), down = static_cast<uint8_t>(255 - f);
    uint8_t table[6][3] = {{255, up, 0}, {down, 255, 0}, {0, 255, up}, {0, down, 255}, {up, 0, 255}, {255, 0, down}};
    r = table[sector][0];
    g = table[sector][1];
    b = table[sector][2];
}

}  // namespace

Bytes toolbarBitmap24(int count, int width, int height)
{
    int totalWidth = count * width;
    int stride = (totalWidth * 3 + 3) & ~3;
    Bytes out;
    append(out, header(totalWidth, height, 24));
    size_t pixels = out.size();
    out.resize(pixels + static_cast<size_t>(stride) * height, 0);
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row;  // bottom-up
        uint8_t* line = out.data() + pixels + static_cast<size_t>(row) * stride;
        for (int x = 0; x < totalWidth; ++x) {
            int image = x / width, ix = x % width;
            uint8_t r = 0xC0, g = 0xC0, b = 0xC0;
            bool inside = ix >= 2 && ix < width - 2 && y >= 2 && y < height - 2;
            bool outline = inside && (ix == 2 || ix == width - 3 || y == 2 || y == height - 3);
            if (outline) {
                r = g = b = 0;
            } else if (inside && ix == y) {
                r = g = b = 0xFF;
            } else if (inside) {
                hue(image, r, g, b);
            }
            line[x * 3] = b;
            line[x * 3 + 1] = g;
            line[x * 3 + 2] = r;
        }
    }
    return out;
}

Bytes toolbarResource(int width, int height, const std::vector<uint16_t>& ids)
{
    Bytes out;
    appendWord(out, 1);
    appendWord(out, static_cast<uint16_t>(width));
    appendWord(out, static_cast<uint16_t>(height));
    appendWord(out, static_cast<uint16_t>(ids.size()));
    for (uint16_t id : ids)
        appendWord(out, id);
    return out;
}

Bytes iconImage(int size)
{
    Bytes out;
    append(out, header(size, size * 2, 32));
    int maskStride = ((size + 31) / 32) * 4;
    for (int row = 0; row < size; ++row) {
        int y = size - 1 - row;
        for (int x = 0; x < size; ++x) {
            bool opaque = (x - size / 2) * (x - size / 2) + (y - size / 2) * (y - size / 2) < size * size / 5;
            uint8_t r, g, b;
            hue(x + y, r, g, b);
            uint8_t bgra[4] = {b, g, r, static_cast<uint8_t>(opaque ? 255 : 0)};
            if (!opaque)
                std::memset(bgra, 0, sizeof bgra);
            out.insert(out.end(), bgra, bgra + 4);
        }
    }
    for (int row = 0; row < size; ++row) {
        int y = size - 1 - row;
        Bytes mask(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            bool opaque = (x - size / 2) * (x - size / 2) + (y - size / 2) * (y - size / 2) < size * size / 5;
            if (!opaque)
                mask[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

Bytes iconGroup(const std::vector<IconEntry>& entries)
{
    Bytes out;
    appendWord(out, 0);  // reserved
    appendWord(out, 1);  // icons
    appendWord(out, static_cast<uint16_t>(entries.size()));
    for (const IconEntry& e : entries) {
        out.push_back(static_cast<uint8_t>(e.size));
        out.push_back(static_cast<uint8_t>(e.size));
        out.push_back(0);  // colour count
        out.push_back(0);  // reserved
        appendWord(out, 1);   // planes
        appendWord(out, 32);  // bits per pixel
        append(out, e.bytes);
        appendWord(out, e.id);
    }
    return out;
}

std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

ResourceModule::ResourceModule(const std::string& templateDll)
{
    char folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    if (!GetTempFileNameA(folder, "tvb", 0, file))
        return;
    path_ = file;
    if (!CopyFileA(templateDll.c_str(), file, FALSE))
        return;
    update_ = BeginUpdateResourceA(file, FALSE);
}

ResourceModule::~ResourceModule()
{
    if (update_)
        EndUpdateResourceA(update_, TRUE);
    if (module_)
        FreeLibrary(module_);
    if (!path_.empty())
        DeleteFileA(path_.c_str());
}

bool ResourceModule::add(LPCSTR type, unsigned id, const Bytes& data)
{
    if (!update_)
        return false;
    return UpdateResourceA(update_, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                           const_cast<uint8_t*>(data.data()), static_cast<DWORD>(data.size())) != FALSE;
}

bool ResourceModule::addToolbar(unsigned id, const std::vector<uint16_t>& commandIds, int imageSize)
{
    int images = 0;
    for (uint16_t c : commandIds)
        images += c != 0;
    return add(RT_BITMAP, id, toolbarBitmap24(images, imageSize, imageSize)) &&
           add(MAKEINTRESOURCEA(241), id, toolbarResource(imageSize, imageSize, commandIds));
}

bool ResourceModule::addIcon(unsigned groupId)
{
    std::vector<IconEntry> entries;
    for (int size : {16, 32}) {
        Bytes image = iconImage(size);
        uint16_t id = nextIconImage_++;
        if (!add(RT_ICON, id, image))
            return false;
        entries.push_back({size, id, static_cast<uint32_t>(image.size())});
    }
    return add(RT_GROUP_ICON, groupId, iconGroup(entries));
}

HINSTANCE ResourceModule::load()
{
    if (!update_)
        return nullptr;
    BOOL written = EndUpdateResourceA(update_, FALSE);
    update_ = nullptr;
    if (!written)
        return nullptr;
    module_ = LoadLibraryA(path_.c_str());
    return module_;
}

}  // namespace bench
