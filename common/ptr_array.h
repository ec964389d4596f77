// The growable array of pointers behind every registry of the button and
// menu libraries. It holds pointers, never owns what they point to, grows by
// one block at a time and never shrinks until cleared.
#pragma once

class PtrArray {
public:
    static constexpr int kDefaultBlockSize = 10;

    constexpr explicit PtrArray(int blockSize = kDefaultBlockSize) : blockSize(blockSize) {}
    ~PtrArray() { clear(); }
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    // Appends p and returns the new count; returns -1 and leaves the array
    // as it was when the storage cannot grow.
    int add(void* p);
    // Removes the entry at index, moving every later entry down one place.
    // An index outside the array is ignored.
    void removeAt(int index);
    // Removes the first entry equal to p; false when there is none.
    bool remove(const void* p);
    // Index of the first entry equal to p, or -1.
    int indexOf(const void* p) const;
    // Frees the storage; count and blocks go back to 0.
    void clear();

    int size() const { return count; }
    bool empty() const { return count == 0; }
    void* at(int index) const { return items[index]; }
    template <class T> T* get(int index) const { return static_cast<T*>(items[index]); }

    // The layout is part of the design: storage, count, capacity in blocks,
    // block size, in this order.
    void** items = nullptr;
    int count = 0;
    int blocks = 0;
    int blockSize;
};
