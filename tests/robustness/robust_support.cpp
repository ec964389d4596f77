// The run mode, case generators, fenced bytes, rewritten modules and memory
// reading shared by the robustness programs.
#include "robust_support.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <algorithm>
#include <iterator>

namespace robust {

bool deepRun()
{
    const char* value = std::getenv("TAVRO_DEEP");
    return value && *value && std::strcmp(value, "0") != 0;
}

int scaled(int normal, int deep)
{
    return deepRun() ? deep : normal;
}

std::uint32_t runSeed()
{
    static const std::uint32_t seed = [] {
        const char* value = std::getenv("TAVRO_SEED");
        std::uint32_t s = value && *value ? static_cast<std::uint32_t>(std::strtoul(value, nullptr, 0))
                          : deepRun()     ? static_cast<std::uint32_t>(std::time(nullptr))
                                          : 20261210u;
        std::printf("robustness: seed %u%s (replay with TAVRO_SEED=%u)\n", s, deepRun() ? ", deep run" : "", s);
        std::fflush(stdout);
        return s;
    }();
    return seed;
}

std::mt19937 caseRandom(std::uint32_t seed, std::uint32_t caseNumber)
{
    std::seed_seq sequence{seed, caseNumber};
    return std::mt19937(sequence);
}

std::string replayNote(std::uint32_t seed, std::uint32_t caseNumber)
{
    return "seed " + std::to_string(seed) + " case " + std::to_string(caseNumber);
}

namespace {
constexpr std::size_t kPage = 4096;
}

FencedBytes::FencedBytes(std::size_t room) : room_((room + kPage - 1) / kPage * kPage)
{
    base_ = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, room_ + 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    if (base_) {
        VirtualProtect(base_, kPage, PAGE_NOACCESS, &old);
        VirtualProtect(base_ + kPage + room_, kPage, PAGE_NOACCESS, &old);
    }
}

FencedBytes::~FencedBytes()
{
    if (base_)
        VirtualFree(base_, 0, MEM_RELEASE);
}

const unsigned char* FencedBytes::place(const std::vector<unsigned char>& bytes, Fence fence)
{
    if (!base_ || bytes.size() > room_)
        return nullptr;
    unsigned char* at = fence == Fence::Before ? base_ + kPage : base_ + kPage + room_ - bytes.size();
    if (!bytes.empty())
        std::memcpy(at, bytes.data(), bytes.size());
    return at;
}

ResourceModule::ResourceModule(const std::string& copyOf, const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + name;
    if (!CopyFileA(copyOf.c_str(), path_.c_str(), FALSE))
        path_.clear();
}

ResourceModule::~ResourceModule()
{
    if (module_)
        FreeLibrary(module_);
    if (!path_.empty())
        DeleteFileA(path_.c_str());
}

void ResourceModule::add(LPCSTR type, WORD id, const std::vector<unsigned char>& bytes)
{
    pending_.push_back({type, id, bytes});
}

bool ResourceModule::write()
{
    if (path_.empty() || module_)
        return false;
    HANDLE update = BeginUpdateResourceA(path_.c_str(), TRUE);
    if (!update)
        return false;
    for (Pending& p : pending_) {
        // An empty resource cannot be written; one byte is the shortest case.
        if (p.bytes.empty())
            p.bytes.push_back(0);
        if (!UpdateResourceA(update, p.type, MAKEINTRESOURCEA(p.id), 0, p.bytes.data(),
                             static_cast<DWORD>(p.bytes.size()))) {
            EndUpdateResourceA(update, TRUE);
            return false;
        }
    }
    if (!EndUpdateResourceA(update, FALSE))
        return false;
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module_ != nullptr;
}

std::string modulePath(HMODULE module)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

std::vector<unsigned char> resourceBytes(HMODULE module, LPCSTR type, WORD id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return {};
    const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    return p ? std::vector<unsigned char>(p, p + SizeofResource(module, found)) : std::vector<unsigned char>();
}

namespace {

// The committed private pages of the address space, region by region: what
// private bytes count, read where the system does not report them itself.
std::size_t committedPrivateBytes()
{
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

}  // namespace

std::size_t privateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters) &&
        counters.PrivateUsage != 0)
        return counters.PrivateUsage;
    // Wine reports PrivateUsage as 0.
    return committedPrivateBytes();
}

int liveGdiObjects()
{
    if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(reported);
    int live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return live;
}

std::string liveGdiObjectKinds()
{
    static const char* const names[] = {"",       "pen",    "brush",       "dc",     "metadc",  "palette",
                                        "font",   "bitmap", "region",      "metafile", "memdc",  "extpen",
                                        "enhmetadc", "enhmetafile", "colorspace"};
    int counts[std::size(names)] = {};
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (type > 0 && type < std::size(names))
            ++counts[type];
    }
    std::string kinds;
    for (std::size_t type = 1; type < std::size(names); ++type)
        if (counts[type])
            kinds += (kinds.empty() ? "" : ", ") + std::string(names[type]) + " " + std::to_string(counts[type]);
    return kinds;
}

}  // namespace robust

namespace robust {

namespace {

const std::uint32_t kBoundaries[] = {0,          1,          2,          3,          4,          8,
                                     15,         16,         17,         24,         32,         40,
                                     52,         56,         108,        124,        255,        256,
                                     257,        0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF,
                                     0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};

std::size_t pick(std::mt19937& random, std::size_t n)
{
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
}

void putLittleEndian(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, int width)
{
    for (int i = 0; i < width && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

void mutateOnce(std::vector<unsigned char>& bytes, std::mt19937& random, const std::vector<std::size_t>& fields)
{
    const std::uint32_t boundary = kBoundaries[pick(random, std::size(kBoundaries))];
    switch (pick(random, 7)) {
    case 0:
        if (!bytes.empty())
            bytes[pick(random, bytes.size())] = static_cast<unsigned char>(random());
        break;
    case 1:
    case 2:
        if (!fields.empty())
            putLittleEndian(bytes, fields[pick(random, fields.size())], boundary, pick(random, 2) ? 4 : 2);
        break;
    case 3:
        if (!bytes.empty())
            putLittleEndian(bytes, pick(random, bytes.size()), boundary, 4);
        break;
    case 4:
        bytes.resize(pick(random, bytes.size() + 1));
        break;
    case 5:
        for (std::size_t n = 1 + pick(random, 64); n > 0; --n)
            bytes.push_back(static_cast<unsigned char>(random()));
        break;
    default:
        if (bytes.size() > 1) {
            const std::size_t from = pick(random, bytes.size()), to = pick(random, bytes.size());
            const std::size_t n = std::min(bytes.size() - std::max(from, to), 1 + pick(random, 16));
            std::memmove(&bytes[to], &bytes[from], n);
        }
        break;
    }
}

std::vector<unsigned char> mutated(const std::vector<unsigned char>& source, std::mt19937& random,
                                   const std::vector<std::size_t>& fields)
{
    std::vector<unsigned char> bytes = source;
    for (std::size_t n = 1 + pick(random, 4); n > 0; --n)
        mutateOnce(bytes, random, fields);
    return bytes;
}

const std::vector<std::size_t> kDibHeaderFields = {0, 4, 8, 12, 14, 16, 20, 32, 36, 40, 44, 48};

namespace {

// Group directory: count at 4, then per entry size, colours, planes, bit
// count, bytes and the image's identifier at 18.
const std::vector<std::size_t> kGroupIconFields = {0, 2, 4, 6, 7, 8, 10, 12, 14, 18};

}  // namespace

IconResource iconResource(HMODULE module, WORD id)
{
    IconResource icon;
    icon.group = resourceBytes(module, reinterpret_cast<LPCSTR>(RT_GROUP_ICON), id);
    if (icon.group.size() >= 20)
        icon.image = resourceBytes(module, reinterpret_cast<LPCSTR>(RT_ICON),
                                   static_cast<WORD>(icon.group[18] | icon.group[19] << 8));
    return icon;
}

IconResource mutatedIcon(const IconResource& source, std::mt19937& random)
{
    IconResource icon = source;
    if (random() % 2)
        icon.image = mutated(icon.image, random, kDibHeaderFields);
    else
        icon.group = mutated(icon.group, random, kGroupIconFields);
    return icon;
}

void addIcon(ResourceModule& module, WORD groupId, WORD imageId, const IconResource& icon)
{
    std::vector<unsigned char> group = icon.group;
    // Re-pointed at this image, unless a mutation cut the directory short.
    if (group.size() >= 20) {
        group[18] = static_cast<unsigned char>(imageId);
        group[19] = static_cast<unsigned char>(imageId >> 8);
    }
    module.add(reinterpret_cast<LPCSTR>(RT_GROUP_ICON), groupId, group);
    module.add(reinterpret_cast<LPCSTR>(RT_ICON), imageId, icon.image);
}

}  // namespace robust
