// Allocation control for the test program. While armed, every allocation of the test program gets pages of its own,
// and freeing one makes its pages inaccessible instead of reusing them: any
// later touch of a freed record faults, and the crash fails the test.
#pragma once

namespace guarded_heap {

void arm();
void disarm();
// While set, every allocation with new fails with std::bad_alloc.
void failAllocations(bool fail);

}  // namespace guarded_heap
