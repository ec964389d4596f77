// Two specimen buttons, one 3D and one flat, driven through every state of
// the painter's table of looks and captured in each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "picture.h"

namespace showcase {

struct StatePicture {
    std::string name;     // file name without extension
    std::string caption;  // for the contact sheet
    Picture picture;
};

// Creates the specimens at the given screen position, drives them and
// returns one picture per state. allCallsSucceeded turns false when a
// library call failed.
std::vector<StatePicture> captureButtonStates(HINSTANCE instance, POINT where, bool* allCallsSucceeded);

}  // namespace showcase
