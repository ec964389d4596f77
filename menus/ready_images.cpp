// The ready copies of an image list's images: a grid of each image on black
// and a monochrome grid of its mask, each selected into a memory DC of its
// own for the life of the copies.
#include "ready_images.h"

#include <algorithm>

bool ReadyImages::draw(HIMAGELIST list, int index, HDC dc, int x, int y)
{
    if (!list || index < 0 || index >= ImageList_GetImageCount(list) || !ensureReady(list, index))
        return false;
    const POINT at = cellOf(index);
    // The monochrome mask reaches the colour target through its text and
    // background colours: black where the image is opaque, white elsewhere.
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, width_, height_, maskDc_.get(), at.x, at.y, SRCAND);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    BitBlt(dc, x, y, width_, height_, colourDc_.get(), at.x, at.y, SRCPAINT);
    return true;
}

void ReadyImages::forget()
{
    maskDc_.reset();
    colourDc_.reset();
    mask_.reset();
    colours_.reset();
    list_ = nullptr;
    width_ = height_ = rows_ = 0;
    ready_.clear();
    ready_.shrink_to_fit();
}

int ReadyImages::readyCount() const
{
    return static_cast<int>(std::count(ready_.begin(), ready_.end(), true));
}

int ReadyImages::gdiObjects() const
{
    return !!colours_ + !!mask_ + !!colourDc_ + !!maskDc_;
}

bool ReadyImages::ensureReady(HIMAGELIST list, int index)
{
    if (!fitList(list))
        return false;
    if (index < static_cast<int>(ready_.size()) && ready_[index])
        return true;
    const int rowsNeeded = index / kColumns + 1;
    // Doubling keeps the copying of grown grids to a few times in all.
    if (rowsNeeded > rows_ && !growTo(std::max(rowsNeeded, rows_ * 2)))
        return false;
    try {
        if (static_cast<int>(ready_.size()) <= index)
            ready_.resize(index + 1, false);
    } catch (...) {
        return false;
    }
    if (!compose(list, index))
        return false;
    ready_[index] = true;
    return true;
}

// Copies of another list, or of images of another size, are worth nothing.
bool ReadyImages::fitList(HIMAGELIST list)
{
    int width = 0, height = 0;
    if (!ImageList_GetIconSize(list, &width, &height) || width <= 0 || height <= 0)
        return false;
    if (list != list_ || width != width_ || height != height_) {
        forget();
        list_ = list;
        width_ = width;
        height_ = height;
    }
    return true;
}

// Both grids at the new size, with what the old ones held; on failure the
// old ones stay as they were.
bool ReadyImages::growTo(int rows)
{
    owners::WindowDc screen(nullptr);
    if (!screen)
        return false;
    if (!colourDc_)
        colourDc_.reset(CreateCompatibleDC(screen.get()));
    if (!maskDc_)
        maskDc_.reset(CreateCompatibleDC(screen.get()));
    const int width = kColumns * width_, height = rows * height_;
    owners::Bitmap colours(CreateCompatibleBitmap(screen.get(), width, height));
    owners::Bitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    owners::MemoryDc copier(rows_ > 0 ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!colourDc_ || !maskDc_ || !colours || !mask || (rows_ > 0 && !copier))
        return false;
    if (rows_ > 0) {
        const int kept = rows_ * height_;
        {
            owners::Selection selected(copier.get(), colours.get());
            BitBlt(copier.get(), 0, 0, width, kept, colourDc_.get(), 0, 0, SRCCOPY);
        }
        owners::Selection selected(copier.get(), mask.get());
        BitBlt(copier.get(), 0, 0, width, kept, maskDc_.get(), 0, 0, SRCCOPY);
    }
    copier.reset();
    SelectObject(colourDc_.get(), colours.get());
    SelectObject(maskDc_.get(), mask.get());
    // The old grids are no longer selected anywhere: these delete them.
    colours_ = std::move(colours);
    mask_ = std::move(mask);
    rows_ = rows;
    return true;
}

// The image drawn by the list itself, once on white for its mask and once
// on black for its colours, so that the copies hold exactly its pixels.
bool ReadyImages::compose(HIMAGELIST list, int index)
{
    const POINT at = cellOf(index);
    const RECT cell = {at.x, at.y, at.x + width_, at.y + height_};
    FillRect(maskDc_.get(), &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(colourDc_.get(), &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return ImageList_Draw(list, index, maskDc_.get(), at.x, at.y, ILD_MASK) &&
           ImageList_Draw(list, index, colourDc_.get(), at.x, at.y, ILD_TRANSPARENT);
}

POINT ReadyImages::cellOf(int index) const
{
    return {(index % kColumns) * width_, (index / kColumns) * height_};
}
