// The allocator's replacements: count, fail the chosen call, remember live
// blocks. The bookkeeping allocates through the test program's own runtime,
// never through the patched table, so it cannot recurse.
#include "allocation_faults.h"

#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace faults {

namespace {

long g_calls = 0;
long g_failAt = 0;
bool g_injected = false;
std::unordered_set<void*>* g_live = nullptr;

// True when this allocation is the one to fail.
bool failNow()
{
    ++g_calls;
    if (g_calls != g_failAt)
        return false;
    g_injected = true;
    return true;
}

void* remember(void* block)
{
    if (block)
        g_live->insert(block);
    return block;
}

void* __cdecl faultyMalloc(size_t size) { return failNow() ? nullptr : remember(std::malloc(size)); }

void* __cdecl faultyCalloc(size_t count, size_t size)
{
    return failNow() ? nullptr : remember(std::calloc(count, size));
}

void* __cdecl faultyRealloc(void* block, size_t size)
{
    if (failNow())
        return nullptr;  // the old block stays the caller's
    void* grown = std::realloc(block, size);
    if (grown || !size)
        g_live->erase(block);
    return remember(grown);
}

char* __cdecl faultyStrdup(const char* text)
{
    if (failNow())
        return nullptr;
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    if (copy)
        std::strcpy(copy, text);
    return static_cast<char*>(remember(copy));
}

wchar_t* __cdecl faultyWcsdup(const wchar_t* text)
{
    if (failNow())
        return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((std::wcslen(text) + 1) * sizeof(wchar_t)));
    if (copy)
        std::wcscpy(copy, text);
    return static_cast<wchar_t*>(remember(copy));
}

void __cdecl trackedFree(void* block)
{
    g_live->erase(block);
    std::free(block);
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
    g_live = new std::unordered_set<void*>;
    g_calls = 0;
    g_failAt = 0;
    g_injected = false;
    for (const Replacement& r : kReplacements) {
        auto patch = std::make_unique<ImportPatch>(library, "msvcrt.dll", r.name, r.function);
        if (patch->applied())
            patches_.push_back(std::move(patch));
    }
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
}

long AllocationFaults::allocations() const { return g_calls; }
bool AllocationFaults::injected() const { return g_injected; }
std::size_t AllocationFaults::liveBlocks() const { return g_live->size(); }

void AllocationFaults::libraryUnloaded()
{
    for (auto& patch : patches_)
        patch->forget();
}

}  // namespace faults
