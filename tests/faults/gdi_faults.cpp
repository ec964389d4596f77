// The creating functions' replacements: each asks whether this creation is
// the one to fail, else calls the real function through the original slot
// and remembers the object until DeleteObject or DeleteDC takes it.
#include "gdi_faults.h"

#include <set>

namespace faults {

namespace {

long g_calls = 0;
long g_failAt = 0;
std::string g_failed;
std::map<std::string, long> g_byFunction;
std::set<HGDIOBJ> g_live;

struct Slot {
    const char* name;
    void* replacement;
    void* original;
};

// Whether the creation by function is the one to fail.
bool failNow(const char* function)
{
    ++g_calls;
    ++g_byFunction[function];
    if (g_calls != g_failAt)
        return false;
    g_failed = function;
    return true;
}

template <class H>
H remember(H object)
{
    if (object)
        g_live.insert(object);
    return object;
}

template <class F>
F real(void* original)
{
    return reinterpret_cast<F>(original);
}

// One slot per replaced function; the originals are filled in when patched.
enum Function { Pen, SolidBrush, PatternBrush, Bitmap, CompatibleBitmap, CompatibleDC, DIBSection, FontA, FontW,
                Delete, DeleteDc, kFunctions };
void* g_original[kFunctions];

HPEN WINAPI createPen(int style, int width, COLORREF colour)
{
    return failNow("CreatePen") ? nullptr
                                : remember(real<decltype(&CreatePen)>(g_original[Pen])(style, width, colour));
}

HBRUSH WINAPI createSolidBrush(COLORREF colour)
{
    return failNow("CreateSolidBrush") ? nullptr
                                       : remember(real<decltype(&CreateSolidBrush)>(g_original[SolidBrush])(colour));
}

HBRUSH WINAPI createPatternBrush(HBITMAP bitmap)
{
    return failNow("CreatePatternBrush")
               ? nullptr
               : remember(real<decltype(&CreatePatternBrush)>(g_original[PatternBrush])(bitmap));
}

HBITMAP WINAPI createBitmap(int width, int height, UINT planes, UINT bits, const void* data)
{
    return failNow("CreateBitmap")
               ? nullptr
               : remember(real<decltype(&CreateBitmap)>(g_original[Bitmap])(width, height, planes, bits, data));
}

HBITMAP WINAPI createCompatibleBitmap(HDC dc, int width, int height)
{
    return failNow("CreateCompatibleBitmap")
               ? nullptr
               : remember(real<decltype(&CreateCompatibleBitmap)>(g_original[CompatibleBitmap])(dc, width, height));
}

HDC WINAPI createCompatibleDC(HDC dc)
{
    return failNow("CreateCompatibleDC")
               ? nullptr
               : remember(real<decltype(&CreateCompatibleDC)>(g_original[CompatibleDC])(dc));
}

HBITMAP WINAPI createDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset)
{
    if (failNow("CreateDIBSection")) {
        if (bits)
            *bits = nullptr;
        return nullptr;
    }
    return remember(
        real<decltype(&CreateDIBSection)>(g_original[DIBSection])(dc, info, usage, bits, section, offset));
}

HFONT WINAPI createFontIndirectA(const LOGFONTA* font)
{
    return failNow("CreateFontIndirectA")
               ? nullptr
               : remember(real<decltype(&CreateFontIndirectA)>(g_original[FontA])(font));
}

HFONT WINAPI createFontIndirectW(const LOGFONTW* font)
{
    return failNow("CreateFontIndirectW")
               ? nullptr
               : remember(real<decltype(&CreateFontIndirectW)>(g_original[FontW])(font));
}

BOOL WINAPI deleteObject(HGDIOBJ object)
{
    const BOOL deleted = real<decltype(&DeleteObject)>(g_original[Delete])(object);
    if (deleted)
        g_live.erase(object);
    return deleted;
}

BOOL WINAPI deleteDC(HDC dc)
{
    const BOOL deleted = real<decltype(&DeleteDC)>(g_original[DeleteDc])(dc);
    if (deleted)
        g_live.erase(dc);
    return deleted;
}

struct Replacement {
    Function slot;
    const char* name;
    void* function;
};

const Replacement kReplacements[] = {
    {Pen, "CreatePen", reinterpret_cast<void*>(&createPen)},
    {SolidBrush, "CreateSolidBrush", reinterpret_cast<void*>(&createSolidBrush)},
    {PatternBrush, "CreatePatternBrush", reinterpret_cast<void*>(&createPatternBrush)},
    {Bitmap, "CreateBitmap", reinterpret_cast<void*>(&createBitmap)},
    {CompatibleBitmap, "CreateCompatibleBitmap", reinterpret_cast<void*>(&createCompatibleBitmap)},
    {CompatibleDC, "CreateCompatibleDC", reinterpret_cast<void*>(&createCompatibleDC)},
    {DIBSection, "CreateDIBSection", reinterpret_cast<void*>(&createDIBSection)},
    {FontA, "CreateFontIndirectA", reinterpret_cast<void*>(&createFontIndirectA)},
    {FontW, "CreateFontIndirectW", reinterpret_cast<void*>(&createFontIndirectW)},
    {Delete, "DeleteObject", reinterpret_cast<void*>(&deleteObject)},
    {DeleteDc, "DeleteDC", reinterpret_cast<void*>(&deleteDC)},
};

bool creates(Function f) { return f != Delete && f != DeleteDc; }

}  // namespace

GdiFaults::GdiFaults(HMODULE library)
{
    g_live.clear();
    failAt(0);
    for (const Replacement& r : kReplacements) {
        auto patch = std::make_unique<ImportPatch>(library, "gdi32.dll", r.name, r.function);
        g_original[r.slot] = patch->original();
        if (patch->applied())
            patches_.push_back(std::move(patch));
    }
}

GdiFaults::~GdiFaults() { patches_.clear(); }

std::vector<std::string> GdiFaults::patched() const
{
    std::vector<std::string> names;
    for (const Replacement& r : kReplacements)
        if (creates(r.slot) && g_original[r.slot])
            names.push_back(r.name);
    return names;
}

void GdiFaults::failAt(long nth)
{
    g_calls = 0;
    g_failAt = nth;
    g_failed.clear();
    g_byFunction.clear();
}

long GdiFaults::creations() const { return g_calls; }
bool GdiFaults::injected() const { return !g_failed.empty(); }
std::string GdiFaults::failedFunction() const { return g_failed; }
std::map<std::string, long> GdiFaults::creationsByFunction() const { return g_byFunction; }
std::size_t GdiFaults::liveObjects() const { return g_live.size(); }

void GdiFaults::libraryUnloaded()
{
    for (auto& patch : patches_)
        patch->forget();
}

}  // namespace faults
