// Walking a PE image's import descriptors to the one bound slot of a named
// function, and writing that slot.
#include "import_patch.h"

#include <cstring>

namespace faults {

namespace {

template <class T>
T* at(HMODULE module, DWORD rva)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

const IMAGE_DATA_DIRECTORY& importDirectory(HMODULE module)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = at<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    return nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
}

bool namesFunction(HMODULE module, const IMAGE_THUNK_DATA& name, const char* function)
{
    if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal))
        return false;
    const auto* byName = at<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name.u1.AddressOfData));
    return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
}

void writeSlot(void** slot, void* value)
{
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

void** importSlot(HMODULE module, const char* dll, const char* function)
{
    if (!module)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& directory = importDirectory(module);
    if (!directory.VirtualAddress)
        return nullptr;
    for (auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(at<const char>(module, entry->Name), dll) != 0 || !entry->OriginalFirstThunk)
            continue;
        auto* names = at<IMAGE_THUNK_DATA>(module, entry->OriginalFirstThunk);
        auto* bound = at<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++bound)
            if (namesFunction(module, *names, function))
                return reinterpret_cast<void**>(&bound->u1.Function);
    }
    return nullptr;
}

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement)
    : slot_(importSlot(module, dll, function))
{
    if (!slot_)
        return;
    original_ = *slot_;
    writeSlot(slot_, replacement);
}

ImportPatch::~ImportPatch()
{
    if (slot_)
        writeSlot(slot_, original_);
}

}  // namespace faults
