// The texts a record keeps: the mnemonic a label picks, what an item shows,
// and the ANSI form given to hosts that read the record.
#include "menu_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ItemText, MnemonicIsTheCharacterAfterTheFirstSingleAmpersand)
{
    const struct {
        const wchar_t* text;
        wchar_t mnemonic;
    } cases[] = {
        {L"&Save", L'S'},
        {L"Sa&ve && more", L'v'},
        {L"No && mnemonic", 0},
        {L"&&&x", L'x'},
        {L"trailing&", 0},
        {L"&\u03A9\u03BC\u03AD\u03B3\u03B1", L'\u03A9'},
        {L"\tF&5", L'5'},
        {L"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << std::wstring(c.text).size();
}

TEST(ItemText, ShownTextAndTheAnsiForm)
{
    MenuItemData* record = NewMenuItemData();
    ASSERT_NE(record, nullptr);
    // 254 characters and a character outside the basic plane at the cut.
    const std::wstring pair = L"\U0001F600";
    ASSERT_EQ(pair.size(), 2u);
    const std::wstring straddling = std::wstring(254, L'a') + pair + L"tail";
    SetMenuItemText(*record, straddling);
    EXPECT_EQ(record->wideText, straddling) << "kept whole";
    EXPECT_EQ(ShownMenuItemText(*record), std::wstring(254, L'a')) << "never half of a pair";

    const std::wstring greek = L"&\u03A9mega \u00E9t\u00E9 \u2192";
    SetMenuItemText(*record, greek);
    EXPECT_EQ(ShownMenuItemText(*record), greek);
    EXPECT_STREQ(record->text, "&Omega \xE9t\xE9 ?") << "code page 1252's own letters, a close one, or a question mark";

    const std::wstring longText(300, L'\u00E9');
    SetMenuItemText(*record, longText);
    EXPECT_EQ(std::string(record->text), std::string(255, '\xE9'));
    EXPECT_EQ(AnsiPrefix(L"abc", 2), "ab");
    FreeMenuItemData(record);
}

}  // namespace
