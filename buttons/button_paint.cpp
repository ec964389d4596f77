// The painter of attached buttons.
#include "button_registry.h"

bool HookedButton::drawItem(const DRAWITEMSTRUCT&) const
{
    return false;  // the dialog's own procedure draws until the painter exists
}
