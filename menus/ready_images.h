// Images of an image list kept ready to paint. ImageList_Draw makes a
// device context and a bitmap of its own for every image it draws, which
// costs more than the rest of a menu item; a copy of each image's mask and
// colours, kept in memory DCs, puts the same pixels on any background with
// two blits.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "gdi_owners.h"

#include <vector>

class ReadyImages {
public:
    ReadyImages() = default;
    ReadyImages(const ReadyImages&) = delete;
    ReadyImages& operator=(const ReadyImages&) = delete;

    // Draws image index of list at x, y of dc as ImageList_Draw with
    // ILD_TRANSPARENT does: where the mask is set the background stays.
    // The copy is made on the image's first draw. False when it cannot be
    // made (the caller then draws from the list); nothing is drawn then.
    bool draw(HIMAGELIST list, int index, HDC dc, int x, int y);
    // Frees every copy and the objects holding them: the list was dropped
    // or its images changed.
    void forget();
    // The images that have a copy now, and the GDI objects kept for them
    // (two memory DCs and two bitmaps at most, whatever the count).
    int readyCount() const;
    int gdiObjects() const;

private:
    bool ensureReady(HIMAGELIST list, int index);
    bool fitList(HIMAGELIST list);
    bool growTo(int rows);
    bool compose(HIMAGELIST list, int index);
    POINT cellOf(int index) const;

    // The copies sit in a grid of kColumns images a row, so that thousands
    // of images stay within every system's bitmap width.
    static constexpr int kColumns = 32;
    // Declared before the DCs, so that the DCs go first and release them.
    owners::Bitmap colours_;  // the image on black, screen-compatible
    owners::Bitmap mask_;     // monochrome: set where the image is transparent
    owners::MemoryDc colourDc_;
    owners::MemoryDc maskDc_;
    HIMAGELIST list_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int rows_ = 0;
    std::vector<bool> ready_;
};
