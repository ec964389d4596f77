// A menu item's whole text.
#include "menu_text.h"

namespace testing_support {

std::wstring wideTextOf(HMENU menu, int position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info))
        return {};
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = &text[0];
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(menu, position, TRUE, &info) || !info.dwTypeData)
        return {};
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return text;
}

}  // namespace testing_support
