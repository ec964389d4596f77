// One page that shows every captured picture with its caption, grouped in
// titled sections, so that a reader sees all looks at once.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace showcase {

struct SheetEntry {
    std::string caption;
    Picture picture;
    int scale = 1;  // small pictures are enlarged, pixel for pixel
};

struct SheetSection {
    std::string title;
    std::vector<SheetEntry> entries;
};

Picture composeSheet(const std::string& title, const std::vector<SheetSection>& sections, int width);

}  // namespace showcase
