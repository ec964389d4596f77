// GDI failure on demand inside one loaded library: every object it creates
// through gdi32 is counted, the Nth creation fails, and the objects it has
// created and not deleted are known.
#pragma once

#include "import_patch.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace faults {

class GdiFaults {
public:
    // Only one at a time: the replacements keep their counts in one place.
    explicit GdiFaults(HMODULE library);
    ~GdiFaults();
    GdiFaults(const GdiFaults&) = delete;
    GdiFaults& operator=(const GdiFaults&) = delete;

    // The names of the creating functions the library imports.
    std::vector<std::string> patched() const;
    // The nth creation from now on fails (1 is the next); 0 fails none.
    void failAt(long nth);
    long creations() const;
    bool injected() const;
    // The function whose call was made to fail ("" before that).
    std::string failedFunction() const;
    // Creations since the last failAt, by function.
    std::map<std::string, long> creationsByFunction() const;
    // Objects the library created while patched and has not deleted.
    std::size_t liveObjects() const;
    void libraryUnloaded();

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

}  // namespace faults
