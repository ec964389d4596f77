// The allocator's replacements: count, fail the chosen call, remember live
// blocks. The bookkeeping allocates through the test program's own runtime,
// never through the patched table, so it cannot recurse.
#include "allocation_faults.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace faults {

namespace {

long g_calls = 0;
long g_failAt = 0;
bool g_injected = false;
// Between a failed allocation and the throw that reports it, the runtime
// makes its per-thread exception state, once, and keeps it until the thread
// ends: those blocks are the runtime's, not the library's.
bool g_throwPending = false;
std::vector<std::uintptr_t> g_beforeThrow;
void* g_raiseException = nullptr;

// Addresses as numbers: a block given to realloc is looked up after the call.
std::unordered_map<std::uintptr_t, std::size_t>* g_live = nullptr;

std::uintptr_t key(const void* block) { return reinterpret_cast<std::uintptr_t>(block); }

// True when this allocation is the one to fail.
bool failNow()
{
    ++g_calls;
    if (g_calls != g_failAt)
        return false;
    g_injected = true;
    g_throwPending = true;
    return true;
}

void* remember(void* block, std::size_t size)
{
    if (!block)
        return block;
    (*g_live)[key(block)] = size;
    if (g_throwPending)
        g_beforeThrow.push_back(key(block));
    return block;
}

void* __cdecl faultyMalloc(size_t size) { return failNow() ? nullptr : remember(std::malloc(size), size); }

void* __cdecl faultyCalloc(size_t count, size_t size)
{
    return failNow() ? nullptr : remember(std::calloc(count, size), count * size);
}

void* __cdecl faultyRealloc(void* block, size_t size)
{
    if (failNow())
        return nullptr;  // the old block stays the caller's
    const std::uintptr_t old = key(block);
    const auto found = g_live->find(old);
    const bool tracked = found != g_live->end();
    const std::size_t oldSize = tracked ? found->second : 0;
    if (tracked)
        g_live->erase(found);
    void* grown = std::realloc(block, size);
    if (!grown && size && tracked)
        (*g_live)[old] = oldSize;  // not moved: still the caller's
    return remember(grown, size);
}

char* __cdecl faultyStrdup(const char* text)
{
    if (failNow())
        return nullptr;
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    if (copy)
        std::strcpy(copy, text);
    return static_cast<char*>(remember(copy, std::strlen(text) + 1));
}

wchar_t* __cdecl faultyWcsdup(const wchar_t* text)
{
    if (failNow())
        return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((std::wcslen(text) + 1) * sizeof(wchar_t)));
    if (copy)
        std::wcscpy(copy, text);
    return static_cast<wchar_t*>(remember(copy, (std::wcslen(text) + 1) * sizeof(wchar_t)));
}

void __cdecl trackedFree(void* block)
{
    g_live->erase(key(block));
    std::free(block);
}

void WINAPI raiseException(DWORD code, DWORD flags, DWORD count, const ULONG_PTR* arguments)
{
    if (g_throwPending) {
        for (std::uintptr_t block : g_beforeThrow)
            g_live->erase(block);
        g_beforeThrow.clear();
        g_throwPending = false;
    }
    reinterpret_cast<decltype(&RaiseException)>(g_raiseException)(code, flags, count, arguments);
}

struct Replacement {
    const char* name;
    void* function;
};

const Replacement kReplacements[] = {
    {"malloc", reinterpret_cast<void*>(&faultyMalloc)},
    {"calloc", reinterpret_cast<void*>(&faultyCalloc)},
    {"realloc", reinterpret_cast<void*>(&faultyRealloc)},
    {"_strdup", reinterpret_cast<void*>(&faultyStrdup)},
    {"_wcsdup", reinterpret_cast<void*>(&faultyWcsdup)},
    {"free", reinterpret_cast<void*>(&trackedFree)},
};

}  // namespace

AllocationFaults::AllocationFaults(HMODULE library)
{
    g_live = new std::unordered_map<std::uintptr_t, std::size_t>;
    g_calls = 0;
    g_failAt = 0;
    g_injected = false;
    for (const Replacement& r : kReplacements) {
        auto patch = std::make_unique<ImportPatch>(library, "msvcrt.dll", r.name, r.function);
        if (patch->applied())
            patches_.push_back(std::move(patch));
    }
    auto raise = std::make_unique<ImportPatch>(library, "kernel32.dll", "RaiseException",
                                               reinterpret_cast<void*>(&raiseException));
    g_raiseException = raise->original();
    if (raise->applied())
        patches_.push_back(std::move(raise));
}

AllocationFaults::~AllocationFaults()
{
    patches_.clear();
    // Blocks the library still holds are freed by it later through the real
    // free; the set of them is not needed any more.
    delete g_live;
    g_live = nullptr;
}

bool AllocationFaults::applied() const { return !patches_.empty(); }

void AllocationFaults::failAt(long nth)
{
    g_calls = 0;
    g_failAt = nth;
    g_injected = false;
    g_throwPending = false;
    g_beforeThrow.clear();
}

long AllocationFaults::allocations() const { return g_calls; }
bool AllocationFaults::injected() const { return g_injected; }
std::size_t AllocationFaults::liveBlocks() const { return g_live->size(); }

std::string AllocationFaults::liveSizes() const
{
    std::string sizes;
    for (const auto& [block, size] : *g_live)
        sizes += (sizes.empty() ? "" : ", ") + std::to_string(size);
    return sizes.empty() ? "none" : sizes + " bytes";
}

void AllocationFaults::forgetLive() { g_live->clear(); }

void AllocationFaults::libraryUnloaded()
{
    for (auto& patch : patches_)
        patch->forget();
}

}  // namespace faults
