// How an attached button looks in a given state, decided once per paint
// from the record and the DRAWITEMSTRUCT, before anything is drawn.
#pragma once

#include <windows.h>

namespace button_paint {

enum class Frame { None, TwoLineRaised, TwoLineSunken, FourLineRaised, FourLineSunken };
enum class TextColour { Normal, Hot, Shadow };

struct PaintState {
    bool selected;
    bool flat;
    bool frameless;
    bool hot;
    int pushState;
    int mode;
};

struct Look {
    Frame frame;
    int offset;      // added to every side of the content rectangle
    int imageIndex;  // which of the two icons
    TextColour text;
    bool arrowHeld;  // the arrow area of a split button is being pressed
};

Look lookOf(const PaintState& state);

// The 8 x 8 one-pixel checkerboard of checked buttons, word-aligned rows.
extern const BYTE kCheckedPattern[16];

}  // namespace button_paint
