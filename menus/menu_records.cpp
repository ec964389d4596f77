// The records attached to converted menu items, and how item data is
// recognised as one of them.
#include "menu_state.h"

#include <cstring>
#include <new>
#include <unordered_set>

namespace {

// Every record alive now. Made on first use; destroyed with the module's
// static objects, which happens after the entry point's teardown has
// freed every record.
std::unordered_set<const MenuItemData*>& liveRecords()
{
    static std::unordered_set<const MenuItemData*> records;
    return records;
}

}  // namespace

MenuItemData* NewMenuItemData()
{
    auto* record = new (std::nothrow) MenuItemData();
    if (!record)
        return nullptr;
    record->magic = kMenuItemMagic;
    try {
        liveRecords().insert(record);
    } catch (...) {
        delete record;
        return nullptr;
    }
    return record;
}

void FreeMenuItemData(MenuItemData* record)
{
    if (!record || liveRecords().erase(record) == 0)
        return;
    delete[] record->fullText;
    delete record;
}

MenuItemData* AsMenuItemData(ULONG_PTR itemData)
{
    auto* record = reinterpret_cast<MenuItemData*>(itemData);
    if (!record || liveRecords().count(record) == 0 || record->magic != kMenuItemMagic)
        return nullptr;
    return record;
}

bool SetMenuItemText(MenuItemData& record, const char* text, std::size_t length)
{
    delete[] record.fullText;
    record.fullText = nullptr;
    const std::size_t shown = length < sizeof record.text ? length : sizeof record.text - 1;
    std::memcpy(record.text, text, shown);
    record.text[shown] = '\0';
    if (shown == length)
        return true;
    record.fullText = new (std::nothrow) char[length + 1];
    if (!record.fullText)
        return false;
    std::memcpy(record.fullText, text, length);
    record.fullText[length] = '\0';
    return true;
}

const char* FullMenuItemText(const MenuItemData& record)
{
    return record.fullText ? record.fullText : record.text;
}
