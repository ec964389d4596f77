// A fresh menu library with the fixture icon as image 0 (16 x 16), and
// records made the way the conversion makes them.
#pragma once

#include "menu_library_fixture.h"
#include "menu_state.h"
#include "nellolib.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

struct RecordDeleter {
    void operator()(MenuItemData* record) const { FreeMenuItemData(record); }
};
using Record = std::unique_ptr<MenuItemData, RecordDeleter>;

inline Record makeRecord(const std::wstring& text, UINT type = MFT_STRING, int image = -1)
{
    Record record(NewMenuItemData());
    SetMenuItemText(*record, text);
    record->type = type | MFT_OWNERDRAW;
    record->imageIndex = image;
    return record;
}

// ASCII texts, as most cases use.
inline Record makeRecord(const char* text, UINT type = MFT_STRING, int image = -1)
{
    return makeRecord(std::wstring(text, text + std::strlen(text)), type, image);
}

class ItemTest : public FreshMenuLibraryTest {
protected:
    void addColourIcon() { ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_COLOURS, 1)); }

};
