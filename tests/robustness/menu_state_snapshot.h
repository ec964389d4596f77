// What the menu library holds, compared before and after a call that must
// change nothing.
#pragma once

#include "menu_state.h"

#include <ostream>

namespace robust {

struct MenuSnapshot {
    bool hasImageList;
    int images, width, height;
    int toolbars, iconResources, iconHandles, commandImages, captions, subMenuButtons, windows, openMenus;
    int lookMode;

    static MenuSnapshot take()
    {
        return {g_imageList != nullptr,
                g_imageList ? ImageList_GetImageCount(g_imageList) : 0,
                g_imageWidth,
                g_imageHeight,
                g_toolbars.size(),
                g_iconResources.size(),
                g_iconHandles.size(),
                g_commandImages.size(),
                g_captions.size(),
                g_subMenuButtons.size(),
                g_windows.size(),
                g_openMenus.size(),
                g_lookMode};
    }
    bool operator==(const MenuSnapshot& o) const
    {
        return hasImageList == o.hasImageList && images == o.images && width == o.width && height == o.height &&
               toolbars == o.toolbars && iconResources == o.iconResources && iconHandles == o.iconHandles &&
               commandImages == o.commandImages && captions == o.captions && subMenuButtons == o.subMenuButtons &&
               windows == o.windows && openMenus == o.openMenus && lookMode == o.lookMode;
    }
};

inline std::ostream& operator<<(std::ostream& out, const MenuSnapshot& s)
{
    return out << "{list " << s.hasImageList << ", images " << s.images << ", size " << s.width << "x" << s.height
               << ", toolbars " << s.toolbars << ", icon resources " << s.iconResources << ", icon handles "
               << s.iconHandles << ", bindings " << s.commandImages << ", captions " << s.captions
               << ", sub-menu ids " << s.subMenuButtons << ", windows " << s.windows << ", open " << s.openMenus
               << ", look " << s.lookMode << "}";
}

}  // namespace robust
