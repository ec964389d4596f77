// Replaces one imported function of a loaded module by another, in that
// module's import address table alone: the module's own calls go to the
// replacement while every other module, the test program included, keeps
// calling the real function. Put back when the patch ends.
#pragma once

#include <windows.h>

namespace faults {

class ImportPatch {
public:
    // dll is matched without regard to case ("msvcrt.dll", "gdi32.dll").
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import the function.
    bool applied() const { return slot_ != nullptr; }
    // The function the module called before the patch.
    void* original() const { return original_; }
    // The module has been unloaded: there is nothing left to put back.
    void forget() { slot_ = nullptr; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// Where module's import of dll!function is bound, or nullptr.
void** importSlot(HMODULE module, const char* dll, const char* function);

}  // namespace faults
