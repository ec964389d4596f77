// Unicode hosts: windows that stay in their own character set while
// installed, item texts outside the ANSI code page given back exactly, and
// the answer to WM_MENUCHAR for converted items in either character set.
#include "menu_loop.h"
#include "nellolib.h"
#include "test_support.h"
#include "wide_text.h"

#include <string>

namespace {

const std::wstring kTitle = L"\u03A9mega \u2192 \u2713";
constexpr LRESULT kHostsMenuCharAnswer = 0x4242;

class UnicodeHost : public MenuLoopTest {
protected:
    void TearDown() override
    {
        for (HMENU menu : menus)
            DestroyMenu(menu);
        if (IsWindow(unicodeWindow))
            DestroyWindow(unicodeWindow);
        MenuLoopTest::TearDown();
    }

    static LRESULT CALLBACK unicodeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        hostMessages.push_back(message);
        if (message == WM_MENUCHAR)
            return kHostsMenuCharAnswer;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND createUnicodeWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = unicodeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"UnicodeMenuHost";
        RegisterClassW(&wc);
        unicodeWindow = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                        nullptr, wc.hInstance, nullptr);
        return unicodeWindow;
    }

    HMENU newPopup()
    {
        menus.push_back(CreatePopupMenu());
        return menus.back();
    }

    static void appendWide(HMENU menu, UINT id, const std::wstring& text, UINT type = MFT_STRING,
                           HMENU subMenu = nullptr)
    {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | (subMenu ? MIIM_SUBMENU : 0) | (type & MFT_SEPARATOR ? 0 : MIIM_STRING);
        info.fType = type;
        info.wID = id;
        info.hSubMenu = subMenu;
        info.dwTypeData = const_cast<wchar_t*>(text.c_str());
        ASSERT_TRUE(InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info));
    }

    HWND unicodeWindow = nullptr;
    std::vector<HMENU> menus;
};

// The best ANSI form of what an item shows, as the record's text field holds it.
std::string ansiFormOf(const std::wstring& text)
{
    return wide_text::toAnsi(text.substr(0, 255)).substr(0, 255);
}

TEST_F(UnicodeHost, WindowKeepsItsCharacterSetAndTextsComeBackExactAfterEveryOpening)
{
    const std::wstring longText = std::wstring(200, L'\u0416') + L" \u2192 " + std::wstring(100, L'\u03C9');
    const std::wstring texts[] = {
        L"&\u03A9\u03BC\u03AD\u03B3\u03B1 \u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430\tCtrl+\u03A9",
        L"\u2190 \u2191 \u2192 \u2193",
        L"\u2713 \u0433\u043E\u0442\u043E\u0432\u043E \u2714",
        longText,
    };
    for (bool unicode : {false, true}) {
        SCOPED_TRACE(unicode ? "Unicode window" : "ANSI window");
        HWND host = unicode ? createUnicodeWindow() : window;
        ASSERT_NE(host, nullptr);
        if (unicode)
            ASSERT_TRUE(Nello_Install(host));
        EXPECT_EQ(IsWindowUnicode(host) != FALSE, unicode) << "installed";
        if (unicode) {
            SetWindowTextW(host, kTitle.c_str());
            EXPECT_EQ(wide_text::windowText(host), kTitle) << "the title passes no ANSI code page";
        }
        HMENU sub = newPopup();
        appendWide(sub, 201, L"&\u00C4rger \u2713");
        HMENU popup = newPopup();
        for (std::size_t i = 0; i < std::size(texts); ++i)
            appendWide(popup, static_cast<UINT>(100 + i), texts[i]);
        appendWide(popup, 0, L"", MFT_SEPARATOR);
        appendWide(popup, 300, L"\u041F\u043E\u0434&\u043C\u0435\u043D\u044E", MFT_STRING, sub);
        ASSERT_TRUE(Nello_SetCaption(popup, "Caption"));
        const auto before = itemsOf(popup);
        const auto subBefore = itemsOf(sub);
        ASSERT_EQ(before[0].wideText, texts[0]);

        auto expectConvertedTexts = [&](HMENU menu, const std::vector<ItemState>& built, int offset) {
            for (std::size_t i = 0; i < built.size(); ++i) {
                SCOPED_TRACE(built[i]);
                const int position = static_cast<int>(i) + offset;
                const MenuItemData* record = recordAt(menu, position);
                ASSERT_NE(record, nullptr);
                EXPECT_TRUE(itemsOf(menu)[position].type & MFT_OWNERDRAW);
                EXPECT_EQ(record->wideText, built[i].wideText);
                EXPECT_EQ(std::string(record->text), ansiFormOf(built[i].wideText));
                EXPECT_EQ(testing_support::wideTextOf(menu, position), built[i].wideText)
                    << "the item keeps its own string while owner-drawn";
            }
        };
        for (int look : {0, 1}) {
            Nello_SetLookMode(look);
            for (int opening = 0; opening < 2; ++opening) {
                SCOPED_TRACE("look " + std::to_string(look) + ", opening " + std::to_string(opening));
                auto press = [&](WPARAM key) {
                    PostMessageW(host, WM_KEYDOWN, key, 1);
                    PostMessageW(host, WM_KEYUP, key, 0xC0000001);
                };
                const std::size_t ran = testing_support::trackMenu(
                    host, popup,
                    {[&] { expectConvertedTexts(popup, before, 1); },
                     [&] { press(VK_UP); },
                     [&] { press(VK_RIGHT); },
                     [&] { expectConvertedTexts(sub, subBefore, 0); }});
                EXPECT_EQ(ran, 4u);
                EXPECT_EQ(itemsOf(popup), before);
                EXPECT_EQ(itemsOf(sub), subBefore);
            }
        }
        Nello_SetCaption(popup, nullptr);
        if (unicode) {
            EXPECT_TRUE(Nello_UnInstall(host));
            EXPECT_TRUE(IsWindowUnicode(host)) << "uninstalled";
            EXPECT_EQ(wide_text::windowText(host), kTitle);
        }
        EXPECT_EQ(itemsOf(popup), before);
    }
}

// WM_MENUCHAR sent to the installed window for a converted popup.
class MenuChar : public UnicodeHost {
protected:
    void build()
    {
        popup = newPopup();
        appendWide(popup, 1, L"&Save");                                 // 1 (the caption is 0)
        appendWide(popup, 2, L"&\u03A9\u03BC\u03AD\u03B3\u03B1");       // 2
        appendWide(popup, 3, L"&Send");                                 // 3
        appendWide(popup, 4, L"Sa&ve && more");                         // 4
        appendWide(popup, 5, L"No mnemonic && here");                   // 5
        appendWide(popup, 6, L"&\u0436\u0443\u043A");                   // 6
        appendWide(popup, 0, L"", MFT_SEPARATOR);                       // 7
        appendWide(popup, 8, L"&\u0160um");                             // 8
        ASSERT_TRUE(Nello_SetCaption(popup, "&Caption"));
        ConvertMenu(popup, true);
        ASSERT_EQ(GetMenuItemCount(popup), 9);
    }
    LRESULT send(HWND to, wchar_t character, bool ansi = false)
    {
        hostMessages.clear();
        const WPARAM wParam = MAKEWPARAM(character, MF_POPUP);
        return ansi ? SendMessageA(to, WM_MENUCHAR, wParam, reinterpret_cast<LPARAM>(popup))
                    : SendMessageW(to, WM_MENUCHAR, wParam, reinterpret_cast<LPARAM>(popup));
    }
    bool hostAsked() const
    {
        for (UINT message : hostMessages)
            if (message == WM_MENUCHAR)
                return true;
        return false;
    }
    void highlight(int position)
    {
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STATE;
            GetMenuItemInfoW(popup, i, TRUE, &info);
            info.fState = i == position ? info.fState | MFS_HILITE : info.fState & ~MFS_HILITE;
            SetMenuItemInfoW(popup, i, TRUE, &info);
        }
    }

    HMENU popup = nullptr;
};

TEST_F(MenuChar, UnicodeWindowGetsTheItemOfTheMnemonicInAnyCase)
{
    HWND host = createUnicodeWindow();
    ASSERT_TRUE(Nello_Install(host));
    build();
    const struct {
        const char* name;
        wchar_t character;
        int highlighted;
        LRESULT answer;  // -1: passed on to the host
    } cases[] = {
        {"Greek capital", L'\u03A9', -1, MAKELRESULT(2, MNC_EXECUTE)},
        {"Greek small", L'\u03C9', -1, MAKELRESULT(2, MNC_EXECUTE)},
        {"Cyrillic capital for a small mnemonic", L'\u0416', -1, MAKELRESULT(6, MNC_EXECUTE)},
        {"Latin, marker inside the label", L'V', -1, MAKELRESULT(4, MNC_EXECUTE)},
        {"Latin with caron", L'\u0161', -1, MAKELRESULT(8, MNC_EXECUTE)},
        {"shared: the first when none is highlighted", L's', -1, MAKELRESULT(1, MNC_SELECT)},
        {"shared: the next after the highlighted one", L'S', 1, MAKELRESULT(3, MNC_SELECT)},
        {"shared: round to the first again", L's', 3, MAKELRESULT(1, MNC_SELECT)},
        {"shared: past the last highlighted", L's', 6, MAKELRESULT(1, MNC_SELECT)},
        {"a doubled ampersand is no mnemonic", L'&', -1, -1},
        {"a letter after a doubled ampersand", L'm', -1, -1},
        {"no item has it", L'x', -1, -1},
        {"the caption takes no mnemonic", L'c', -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        highlight(c.highlighted);
        const LRESULT answer = send(host, c.character);
        if (c.answer == -1) {
            EXPECT_TRUE(hostAsked()) << "passed on";
            EXPECT_EQ(answer, kHostsMenuCharAnswer) << "the host's own answer";
        } else {
            EXPECT_FALSE(hostAsked());
            EXPECT_EQ(LOWORD(answer), LOWORD(c.answer));
            EXPECT_EQ(HIWORD(answer), HIWORD(c.answer));
        }
    }
    RestoreOpenMenus(0xFFFF, nullptr);
    send(host, L's');
    EXPECT_TRUE(hostAsked()) << "a popup given back is the host's again";
}

TEST_F(MenuChar, AnsiWindowsCharacterIsReadInTheAnsiCodePage)
{
    ASSERT_FALSE(IsWindowUnicode(window));
    build();
    // 0x9A is a small s with caron in code page 1252 and a control
    // character as UTF-16.
    ASSERT_EQ(wide_text::fromAnsi("\x9A", 1), L"\u0161");
    LRESULT answer = send(window, static_cast<wchar_t>(0x9A), true);
    EXPECT_FALSE(hostAsked());
    EXPECT_EQ(answer, MAKELRESULT(8, MNC_EXECUTE));
    // Sent as UTF-16, the system hands the ANSI window the same byte.
    answer = send(window, L'\u0161');
    EXPECT_EQ(answer, MAKELRESULT(8, MNC_EXECUTE));
    answer = send(window, 'S', true);
    EXPECT_EQ(answer, MAKELRESULT(1, MNC_SELECT));
    send(window, 'q', true);
    EXPECT_TRUE(hostAsked());
    RestoreOpenMenus(0xFFFF, nullptr);
}

}  // namespace
