// Where a button's icon and text go inside its content rectangle, how big
// the text is, and the size that fits the content. The placements are value
// functions of the button's style bits and the sizes involved.
#pragma once

#include <windows.h>

#include <string>

#include "dpi_scale.h"

namespace button_layout {

// Captions are shown and measured up to this many UTF-16 units.
constexpr std::size_t kMaxCaption = 255;

// The caption as shown: cut to kMaxCaption units, never between the two
// halves of a surrogate pair.
std::wstring cutCaption(std::wstring text);
// A button's window text, read in UTF-16 and cut as above.
std::wstring captionOf(HWND button);

enum class Stacking { SideBySide, IconAbove, IconBelow };
enum class Alignment { Centre, Left, Right };

Stacking stackingOf(DWORD style);
Alignment alignmentOf(DWORD style);

// Text box (0, 0, tw, th) and the DrawTextW format it was measured for.
struct MeasuredText {
    RECT box;
    UINT format;
};

// Measures text with the font selected in dc. contentWidth is the width the
// text and icon are placed in, which bounds multiline text. Every size here
// is defined at 96 DPI and taken at dpi.
MeasuredText measureText(HDC dc, wchar_t* text, int length, int contentWidth, DWORD style, int iconWidth,
                         int dpi = dpi::kBase);

// Places the icon box and the text box (on entry (0, 0, tw, th)) and adds
// the alignment flags to format. Only the text box is kept inside content.
void layoutWithIcon(DWORD style, const RECT& content, SIZE icon, RECT& iconRect, RECT& textRect, UINT& format,
                    int dpi = dpi::kBase);
void layoutTextOnly(DWORD style, const RECT& content, RECT& textRect, UINT& format);

// The content size for a one-line text extent and an icon size (0 x 0
// without icons); split modes reserve their arrow area.
SIZE optimalSize(DWORD style, int mode, SIZE text, SIZE icon, int dpi = dpi::kBase);

}  // namespace button_layout
