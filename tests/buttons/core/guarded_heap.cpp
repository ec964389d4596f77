// The replaced global allocation functions behind guarded_heap.
#include "guarded_heap.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

bool g_armed = false;
bool g_failing = false;
constexpr int kMaxGuarded = 4096;
void* g_guarded[kMaxGuarded];
int g_guardedCount = 0;

constexpr size_t kHeader = 16;

void* guardedAllocate(size_t size)
{
    if (g_guardedCount == kMaxGuarded)
        return nullptr;
    char* block = static_cast<char*>(
        VirtualAlloc(nullptr, size + kHeader, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block)
        return nullptr;
    *reinterpret_cast<size_t*>(block) = size + kHeader;
    g_guarded[g_guardedCount++] = block + kHeader;
    return block + kHeader;
}

bool guardedFree(void* p)
{
    for (int i = 0; i < g_guardedCount; ++i) {
        if (g_guarded[i] == p) {
            char* block = static_cast<char*>(p) - kHeader;
            DWORD old;
            VirtualProtect(block, *reinterpret_cast<size_t*>(block), PAGE_NOACCESS, &old);
            g_guarded[i] = nullptr;
            return true;
        }
    }
    return false;
}

void* allocate(size_t size)
{
    if (g_failing)
        throw std::bad_alloc();
    void* p = g_armed ? guardedAllocate(size) : std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void release(void* p)
{
    if (p && !guardedFree(p))
        std::free(p);
}

}  // namespace

namespace guarded_heap {

void arm() { g_armed = true; }
void disarm() { g_armed = false; }
void failAllocations(bool fail) { g_failing = fail; }

}  // namespace guarded_heap

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, size_t) noexcept { release(p); }
void operator delete[](void* p, size_t) noexcept { release(p); }
