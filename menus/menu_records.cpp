// The records attached to converted menu items, how item data is recognised
// as one of them, and the texts they keep.
#include "menu_state.h"

#include "wide_text.h"

#include <new>
#include <unordered_set>
#include <vector>

namespace {

// Every record alive now. Made on first use; destroyed with the module's
// static objects, which happens after the entry point's teardown has
// freed every record.
std::unordered_set<const MenuItemData*>& liveRecords()
{
    static std::unordered_set<const MenuItemData*> records;
    return records;
}

constexpr std::size_t kShownCharacters = 255;

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
    delete record;
}

void FreeMenuItemDataOf(HMENU popup)
{
    std::vector<MenuItemData*> left;
    for (const MenuItemData* record : liveRecords())
        if (!popup || record->popup == popup)
            left.push_back(const_cast<MenuItemData*>(record));
    for (MenuItemData* record : left)
        FreeMenuItemData(record);
}

MenuItemData* AsMenuItemData(ULONG_PTR itemData)
{
    auto* record = reinterpret_cast<MenuItemData*>(itemData);
    if (!record || liveRecords().count(record) == 0 || record->magic != kMenuItemMagic)
        return nullptr;
    return record;
}

std::string AnsiPrefix(const std::wstring& text, std::size_t maxBytes)
{
    const std::string ansi = wide_text::toAnsi(text);
    if (ansi.size() <= maxBytes)
        return ansi;
    // Walk whole characters: a lead byte takes its trail byte along.
    std::size_t end = 0;
    while (end < ansi.size()) {
        const std::size_t next = end + (IsDBCSLeadByte(static_cast<BYTE>(ansi[end])) ? 2 : 1);
        if (next > maxBytes)
            break;
        end = next;
    }
    return ansi.substr(0, end);
}

void SetMenuItemText(MenuItemData& record, std::wstring text)
{
    record.wideText = std::move(text);
    const std::string ansi = AnsiPrefix(ShownMenuItemText(record), sizeof record.text - 1);
    ansi.copy(record.text, ansi.size());
    record.text[ansi.size()] = '\0';
}

std::wstring ShownMenuItemText(const MenuItemData& record)
{
    std::size_t length = record.wideText.size();
    if (length <= kShownCharacters)
        return record.wideText;
    length = kShownCharacters;
    // Never half of a surrogate pair.
    if (IS_HIGH_SURROGATE(record.wideText[length - 1]))
        --length;
    return record.wideText.substr(0, length);
}

wchar_t MnemonicOf(const std::wstring& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return text[i + 1];
        ++i;  // "&&" stands for an ampersand
    }
    return 0;
}
