// Hosts made with the W functions: captions outside the ANSI code page keep
// their text and their character set through attach and detach, and are
// drawn and measured as the W text functions draw and measure them.
#include "button_layout.h"
#include "gdi_owners.h"
#include "paint_fixture.h"
#include "wide_text.h"

#include <cwchar>
#include <string>

using button_testing::ButtonDialog;
using button_testing::Charset;

namespace {

constexpr int kId = 801;

// Greek, Cyrillic and accented Latin; none but the last fits code page 1252.
const wchar_t* const kCaptions[] = {
    L"\u03A9\u03BC\u03AD\u03B3\u03B1",                    // Greek
    L"\u041F\u0440\u0438\u0432\u0435\u0442",              // Cyrillic
    L"\u0394\u0436 \u00E9\u00E8\u00E7",                   // mixed
    L"Cr\u00E8me br\u00FBl\u00E9e",                       // accented Latin
};

class UnicodeHost : public ::testing::Test {
protected:
    void SetUp() override { libraryLoad(); }
    void TearDown() override { libraryUnload(); }
};

// What a host sees of a window's text and character set.
struct TextState {
    bool unicode;
    std::wstring text;
    bool operator==(const TextState& o) const { return unicode == o.unicode && text == o.text; }
};

TextState textStateOf(HWND window)
{
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return {IsWindowUnicode(window) != FALSE, text};
}

void PrintTo(const TextState& s, std::ostream* out)
{
    *out << (s.unicode ? "unicode" : "ansi") << " window, " << s.text.size() << " characters:";
    for (wchar_t c : s.text)
        *out << ' ' << std::hex << unsigned(c);
}

// The caption drawn by DrawTextW in the button's font and colours, alone on
// the face colour.
Ink referenceInk(const wchar_t* text, HFONT font, COLORREF face, COLORREF colour)
{
    testing_support::DibSurface s(kButtonWidth, kButtonHeight, face);
    owners::Selection selected(s.dc(), font);
    SetTextColor(s.dc(), colour);
    SetBkMode(s.dc(), TRANSPARENT);
    RECT r{0, 0, kButtonWidth, kButtonHeight};
    DrawTextW(s.dc(), text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    return inkOf(s, face, RECT{0, 0, kButtonWidth, kButtonHeight});
}

}  // namespace

TEST_F(UnicodeHost, WindowsKeepTheirCharacterSetAndTextBeforeDuringAndAfter)
{
    const wchar_t* const title = L"\u0414\u0438\u0430\u043B\u043E\u0433 \u03A9";
    for (const Charset charset : {Charset::Unicode, Charset::Ansi}) {
        const bool unicode = charset == Charset::Unicode;
        SCOPED_TRACE(unicode ? "unicode host" : "ansi host");
        ButtonDialog host(400, 300, charset);
        HWND button = unicode ? host.addButton(kId, BS_PUSHBUTTON, kCaptions[0]) : host.addButton(kId);
        SetWindowTextW(host.hwnd(), title);
        const TextState dialogBefore = textStateOf(host.hwnd()), buttonBefore = textStateOf(button);
        ASSERT_EQ(dialogBefore.unicode, unicode);
        ASSERT_EQ(buttonBefore.unicode, unicode);
        const LONG_PTR ownDialogProc = GetWindowLongPtrW(host.hwnd(), GWLP_WNDPROC);
        const LONG_PTR ownButtonProc = GetWindowLongPtrW(button, GWLP_WNDPROC);

        ASSERT_TRUE(Tavro_Install(host.hwnd()));
        ASSERT_TRUE(Tavro_SetGlisk(host.hwnd(), kId, true));
        EXPECT_EQ(textStateOf(host.hwnd()), dialogBefore) << "installed";
        EXPECT_EQ(textStateOf(button), buttonBefore) << "attached";
        // Text set while attached passes through the library's procedures.
        SetWindowTextW(button, kCaptions[1]);
        SetWindowTextW(host.hwnd(), kCaptions[2]);
        if (unicode) {
            EXPECT_EQ(textStateOf(button).text, kCaptions[1]);
            EXPECT_EQ(textStateOf(host.hwnd()).text, kCaptions[2]);
        }
        SetWindowTextW(button, buttonBefore.text.c_str());
        SetWindowTextW(host.hwnd(), title);

        ASSERT_TRUE(Tavro_SetGlisk(host.hwnd(), kId, false));
        EXPECT_EQ(textStateOf(button), buttonBefore) << "detached";
        ASSERT_TRUE(Tavro_SetGlisk(host.hwnd(), kId, true));
        ASSERT_TRUE(Tavro_UnInstall(host.hwnd()));
        EXPECT_EQ(textStateOf(host.hwnd()), dialogBefore) << "uninstalled";
        EXPECT_EQ(textStateOf(button), buttonBefore) << "uninstalled";
        EXPECT_EQ(GetWindowLongPtrW(host.hwnd(), GWLP_WNDPROC), ownDialogProc);
        EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), ownButtonProc);
        SetWindowTextW(button, kCaptions[3]);
        if (unicode) {
            EXPECT_EQ(textStateOf(button).text, kCaptions[3]) << "still a Unicode window";
        }
    }
}

TEST_F(UnicodeHost, CaptionsAreDrawnAsTheWTextFunctionsDrawThem)
{
    ButtonDialog host(400, 300, Charset::Unicode);
    ASSERT_TRUE(Tavro_Install(host.hwnd()));
    testing_support::DibSurface surface(kButtonWidth, kButtonHeight);
    int id = kId;
    for (const wchar_t* caption : kCaptions) {
        SCOPED_TRACE(wide_text::toAnsi(caption));
        HWND button = host.addButton(++id, BS_PUSHBUTTON, caption, {10, 10, 10 + kButtonWidth, 10 + kButtonHeight});
        ASSERT_TRUE(Tavro_SetGlisk(host.hwnd(), id, true));
        ASSERT_TRUE(Tavro_SetFaceColor(host.hwnd(), id, kFace));
        ASSERT_TRUE(Tavro_SetTextColor(host.hwnd(), id, kText, kHotText));
        DRAWITEMSTRUCT item = {ODT_BUTTON, UINT(id), 0, ODA_DRAWENTIRE, 0, button, surface.dc(),
                               {0, 0, kButtonWidth, kButtonHeight}, 0};
        ASSERT_EQ(SendMessageW(host.hwnd(), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item)), TRUE);

        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
        const Ink expected = referenceInk(caption, font, kFace, kText);
        ASSERT_GT(expected.width, 0);
        // Inside the frame lines: the caption alone on the face.
        EXPECT_EQ(inkOf(surface, kFace, RECT{3, 3, kButtonWidth - 3, kButtonHeight - 3}), expected);

        SIZE size{};
        ASSERT_TRUE(Tavro_GetOptimalSize(host.hwnd(), id, size));
        SIZE extent{};
        {
            HDC dc = GetDC(button);
            owners::Selection selected(dc, font);
            GetTextExtentPoint32W(dc, caption, static_cast<int>(wcslen(caption)), &extent);
            ReleaseDC(button, dc);
        }
        EXPECT_EQ(size.cx, extent.cx + 5) << "measured as the W functions measure it";
    }
}

namespace {

std::wstring g_sectionSeen;
WNDPROC g_buttonOwnProc = nullptr;

// The host's own subclass of a Unicode button, below the library's.
LRESULT CALLBACK recordSettingChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE && lParam)
        g_sectionSeen = reinterpret_cast<const wchar_t*>(lParam);
    return CallWindowProcW(g_buttonOwnProc, window, message, wParam, lParam);
}

}  // namespace

// The dialog hands a settings change on to its buttons with the section name
// in the form it received it.
TEST_F(UnicodeHost, SettingChangesReachTheButtonsWithTheirSectionName)
{
    ButtonDialog host(400, 300, Charset::Unicode);
    HWND button = host.addButton(kId, BS_PUSHBUTTON, kCaptions[0]);
    g_buttonOwnProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordSettingChange)));
    ASSERT_TRUE(Tavro_Install(host.hwnd()));
    ASSERT_TRUE(Tavro_SetGlisk(host.hwnd(), kId, true));
    g_sectionSeen.clear();
    SendMessageW(host.hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl \u03A9"));
    EXPECT_EQ(g_sectionSeen, L"intl \u03A9");
    ASSERT_TRUE(Tavro_UnInstall(host.hwnd()));
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_buttonOwnProc));
}

TEST(CaptionCut, KeepsAtMost255UnitsAndNeverHalfAPair)
{
    const std::wstring pair = L"\xD83D\xDE00";  // one character outside the basic plane
    const struct {
        const char* name;
        std::wstring text;
        std::wstring shown;
    } cases[] = {
        {"short", L"\u03A9 ok", L"\u03A9 ok"},
        {"exactly 255", std::wstring(255, L'\u0416'), std::wstring(255, L'\u0416')},
        {"longer", std::wstring(300, L'x'), std::wstring(255, L'x')},
        {"pair across the cut", std::wstring(254, L'x') + pair + L"y", std::wstring(254, L'x')},
        {"pair before the cut", std::wstring(253, L'x') + pair + L"y", std::wstring(253, L'x') + pair},
    };
    for (const auto& c : cases)
        EXPECT_EQ(button_layout::cutCaption(c.text), c.shown) << c.name;
}
