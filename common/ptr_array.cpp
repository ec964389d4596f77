// PtrArray: growth by whole blocks, removal by moving later entries down.
#include "ptr_array.h"

#include <cstdlib>
#include <cstring>

int PtrArray::add(void* p)
{
    if (count == blocks * blockSize) {
        const long long capacity = static_cast<long long>(blockSize) * (blocks + 1);
        void** grown = static_cast<void**>(std::malloc(static_cast<size_t>(capacity) * sizeof(void*)));
        if (!grown)
            return -1;
        if (items) {
            std::memcpy(grown, items, static_cast<size_t>(count) * sizeof(void*));
            std::free(items);
        }
        items = grown;
        ++blocks;
    }
    items[count++] = p;
    return count;
}

void PtrArray::removeAt(int index)
{
    if (index < 0 || index >= count)
        return;
    std::memmove(items + index, items + index + 1, static_cast<size_t>(count - index - 1) * sizeof(void*));
    --count;
}

bool PtrArray::remove(const void* p)
{
    const int index = indexOf(p);
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

int PtrArray::indexOf(const void* p) const
{
    for (int i = 0; i < count; ++i)
        if (items[i] == p)
            return i;
    return -1;
}

void PtrArray::clear()
{
    std::free(items);
    items = nullptr;
    count = 0;
    blocks = 0;
}
