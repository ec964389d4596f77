// A menu item's text as a Unicode host reads it; free of the test framework,
// so that code running inside other programs can use it too.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// The item's text read with GetMenuItemInfoW, whole.
std::wstring wideTextOf(HMENU menu, int position);

}  // namespace testing_support
