// Allocation failure on demand inside one loaded library: its calls to the C
// runtime's allocator (through which its operator new, its containers and
// its strings allocate too) are counted, the Nth one fails, and every block
// it still holds is known, so that a leak shows once it is unloaded.
#pragma once

#include "import_patch.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace faults {

class AllocationFaults {
public:
    // Only one at a time: the replacements keep their counts in one place.
    explicit AllocationFaults(HMODULE library);
    ~AllocationFaults();
    AllocationFaults(const AllocationFaults&) = delete;
    AllocationFaults& operator=(const AllocationFaults&) = delete;

    // False when the library imports none of the allocator's functions.
    bool applied() const;
    // The nth allocation from now on fails (1 is the next); 0 fails none.
    void failAt(long nth);
    // Allocations since the last failAt.
    long allocations() const;
    // Whether the allocation chosen by failAt has been reached (and failed).
    bool injected() const;
    // Blocks allocated while patched and not freed yet.
    std::size_t liveBlocks() const;
    // Their sizes, "24, 16 bytes", for failure messages.
    std::string liveSizes() const;
    // Blocks held so far are left out of liveBlocks: what the runtime made
    // for the thread at the library's first exception lives as long as the
    // thread.
    void forgetLive();
    // The library has been unloaded: its import table is gone.
    void libraryUnloaded();

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

}  // namespace faults
