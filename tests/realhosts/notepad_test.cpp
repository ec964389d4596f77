// Notepad, as Wine ships it, hosting both UI libraries on its own GUI
// thread: its menus converted while open and its Find dialog's buttons
// attached, driven with real keyboard and mouse input. What it does must not
// change, everything must come back exactly, and it must exit cleanly.
#include "program_host.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace realhost;

namespace {

const std::wstring kDocument = L"alpha beta gamma\r\n"
                               L"\x039A\x03B1\x03BB\x03B7\x03BC\x03AD\x03C1\x03B1 \x03BA\x03CC\x03C3\x03BC\x03B5, "
                               L"\x041F\x0440\x0438\x0432\x0435\x0442 \x043C\x0438\x0440\r\n"
                               L"delta beta epsilon\r\n";

class NotepadHost : public ProgramHost {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        document_ = std::wstring(folder) + L"tavro-realhost-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        ASSERT_TRUE(writeDocument());
        start(L"notepad.exe", L"\"" + document_ + L"\"", L"Notepad");
        ASSERT_FALSE(HasFatalFailure());
        edit_ = RealProgram::findChild(main(), L"Edit");
        ASSERT_NE(edit_, nullptr);
    }

    void TearDown() override
    {
        ProgramHost::TearDown();
        DeleteFileW(document_.c_str());
    }

    bool writeDocument() const
    {
        HANDLE file = CreateFileW(document_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const std::wstring bytes = L"\xFEFF" + kDocument;
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
        return written == bytes.size() * sizeof(wchar_t);
    }

    std::pair<DWORD, DWORD> selection() const
    {
        DWORD start = 0, end = 0;
        SendMessageTimeoutW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        return {start, end};
    }

    std::wstring document_;
    HWND edit_ = nullptr;
};

TEST_F(NotepadHost, MenusAreTheLibrarysWhileOpenAndComeBackWithTheProgramsOwnChanges)
{
    // The program updates its items as its popups open; what a first
    // opening without the library leaves is what every later one must.
    openEveryMenu(false);
    const auto before = menus();
    ASSERT_TRUE(command(Command::ConvertMenus).ok);
    openEveryMenu(true);
    const Answer unchanged = command(Command::CompareMenus);
    EXPECT_TRUE(unchanged.ok) << narrow(unchanged.text);

    // A command picked through converted items, by its mnemonic, runs.
    ASSERT_TRUE(choose(L"select all"));
    const auto length = static_cast<DWORD>(windowText(edit_).size());
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(waitUntil([&] { return selection() == std::make_pair(DWORD{0}, length); }))
        << "selection " << selection().first << "-" << selection().second << " of " << length;

    // With text selected the program enables its clipboard items while the
    // popup opens; they must stay as it set them after the library's close.
    openEveryMenu(true);
    const auto selected = menus();
    for (const wchar_t* fragment : {L"cut", L"copy", L"delete"}) {
        SCOPED_TRACE(narrow(fragment));
        EXPECT_TRUE(itemNamed(before, fragment).state & MFS_GRAYED) << "greyed with nothing selected";
        EXPECT_FALSE(itemNamed(selected, fragment).state & MFS_GRAYED) << "enabled with a selection";
    }

    // The program's own check mark follows its setting through two runs of
    // the command.
    const UINT wrapped = itemNamed(before, L"wrap").state & MFS_CHECKED;
    ASSERT_TRUE(choose(L"wrap"));
    EXPECT_EQ(itemNamed(menus(), L"wrap").state & MFS_CHECKED, wrapped ^ MFS_CHECKED);
    ASSERT_TRUE(choose(L"wrap"));
    EXPECT_EQ(itemNamed(menus(), L"wrap").state & MFS_CHECKED, wrapped);

    const auto installed = parseMenus(command(Command::DescribeMenus).text);
    ASSERT_TRUE(command(Command::RestoreMenus).ok);
    const auto restored = menus();
    ASSERT_EQ(restored.size(), installed.size());
    for (std::size_t i = 0; i < restored.size(); ++i) {
        EXPECT_EQ(restored[i].type, installed[i].type) << narrow(restored[i].text);
        EXPECT_EQ(restored[i].state & ~MFS_HILITE, installed[i].state & ~MFS_HILITE) << narrow(restored[i].text);
        EXPECT_EQ(restored[i].id, installed[i].id) << narrow(restored[i].text);
        EXPECT_EQ(restored[i].data, installed[i].data) << narrow(restored[i].text);
        EXPECT_EQ(restored[i].text, installed[i].text);
    }
    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    openEveryMenu(false);
    exitThroughMenu();
}

// Positions of the document's text in notepad's edit control.
std::pair<DWORD, DWORD> spanOf(const std::wstring& word, std::size_t from = 0)
{
    const auto start = kDocument.find(word, from);
    return {static_cast<DWORD>(start), static_cast<DWORD>(start + word.size())};
}

std::string describe(std::pair<DWORD, DWORD> span)
{
    return std::to_string(span.first) + "-" + std::to_string(span.second);
}

TEST_F(NotepadHost, FindDialogButtonsDrawnByTheLibraryStillFind)
{
    ASSERT_TRUE(command(Command::ConvertMenus).ok);
    ASSERT_TRUE(choose(L"search..."));
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr) << "no Find dialog";
    const Answer attached = command(Command::AttachButtons, dialog);
    ASSERT_TRUE(attached.ok) << narrow(attached.text);
    const HWND findNext = GetDlgItem(dialog, IDOK);
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    for (HWND button : {findNext, cancel})
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << narrow(windowText(button));

    const HWND field = RealProgram::findChild(dialog, L"Edit");
    ASSERT_TRUE(bringToFront(dialog));
    typeText(L"beta");
    ASSERT_TRUE(waitUntil([&] { return windowText(field) == L"beta"; })) << narrow(windowText(field));

    const auto first = spanOf(L"beta");
    const auto second = spanOf(L"beta", first.second);
    clickWindow(findNext);
    EXPECT_TRUE(waitUntil([&] { return selection() == first; })) << describe(selection());
    // Enter reaches the default button, owner-drawn now, through the dialog.
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return selection() == second; })) << describe(selection());

    const Answer detached = command(Command::DetachButtons, dialog);
    EXPECT_TRUE(detached.ok) << narrow(detached.text);
    clickWindow(cancel);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "Cancel did not close the dialog";

    ASSERT_TRUE(command(Command::RestoreMenus).ok);
    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    exitThroughMenu();
}

TEST_F(NotepadHost, FindDialogClosedWhileItsButtonsAreAttached)
{
    ASSERT_TRUE(choose(L"search..."));
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr) << "no Find dialog";
    ASSERT_TRUE(command(Command::AttachButtons, dialog).ok);
    ASSERT_TRUE(bringToFront(dialog));
    clickWindow(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "Cancel did not close the dialog";

    // The program goes on as before: a new dialog from its accelerator finds.
    ASSERT_TRUE(bringToFront(main()));
    pressChord({VK_CONTROL, 'F'});
    const HWND again = waitForDialog();
    ASSERT_NE(again, nullptr) << "no second Find dialog";
    ASSERT_TRUE(bringToFront(again));
    typeText(L"gamma");
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return selection() == spanOf(L"gamma"); })) << describe(selection());
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(again); }));

    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    exitThroughMenu();
}

TEST_F(NotepadHost, ExitsCleanlyWithMenusInstalledAndDialogButtonsAttached)
{
    ASSERT_TRUE(command(Command::ConvertMenus).ok);
    ASSERT_TRUE(choose(L"search..."));
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr) << "no Find dialog";
    ASSERT_TRUE(command(Command::AttachButtons, dialog).ok);
    exitThroughMenu();
}

// Greek and Cyrillic, outside the ANSI code page (1252 here): a trip
// through it turns them into question marks.
const std::wstring kMenuText = L"\x0395\x03C0\x03B9\x03BB\x03BF\x03B3\x03AE / "
                               L"\x0412\x044B\x0434\x0435\x043B\x0438\x0442\x044C \x0432\x0441\x0451\tCtrl+A";
const std::wstring kTitle = L"\x0391\x03BD\x03B1\x03B6\x03AE\x03C4\x03B7\x03C3\x03B7 \x2014 "
                            L"\x041F\x043E\x0438\x0441\x043A";
const std::wstring kRetitle = L"\x0394\x03B5\x03CD\x03C4\x03B5\x03C1\x03BF \x2192 \x0412\x0442\x043E\x0440\x043E\x0439";
const std::wstring kButtonText = L"\x0395\x03C0\x03CC\x03BC\x03B5\x03BD\x03BF \x25B6";

TEST_F(NotepadHost, UnicodeMenuTextAndTitleComeThroughTheMenuLibrary)
{
    const MenuEntry target = itemNamed(menus(), L"select all");
    ASSERT_NE(target.id, 0u);
    const Answer set = command(Command::SetMenuText, nullptr, target.id, kMenuText);
    ASSERT_TRUE(set.ok) << narrow(set.text);
    setWindowText(main(), kTitle);
    ASSERT_EQ(windowText(main()), kTitle) << "notepad's own window does not keep a Unicode title";

    openEveryMenu(false);
    const auto before = menus();
    ASSERT_TRUE(command(Command::ConvertMenus).ok);
    openEveryMenu(true);
    const bool unicodeWhileInstalled = IsWindowUnicode(main()) != FALSE;
    setWindowText(main(), kRetitle);
    const std::wstring retitled = windowText(main());
    ASSERT_TRUE(command(Command::RestoreMenus).ok);
    const auto after = menus();
    ASSERT_EQ(after.size(), before.size());
    std::wstring given;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i].id == target.id) {
            given = after[i].text;
            continue;
        }
        EXPECT_EQ(after[i].text, before[i].text);
        EXPECT_EQ(after[i].state & ~MFS_HILITE, before[i].state & ~MFS_HILITE) << narrow(after[i].text);
    }

    EXPECT_EQ(given, kMenuText) << narrow(given);
    EXPECT_TRUE(unicodeWhileInstalled);
    EXPECT_EQ(retitled, kRetitle);
    EXPECT_EQ(windowText(main()), kRetitle);
    EXPECT_TRUE(IsWindowUnicode(main()));

    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    exitThroughMenu();
}

TEST_F(NotepadHost, UnicodeButtonTextsSurviveAttaching)
{
    ASSERT_TRUE(choose(L"search..."));
    const HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr) << "no Find dialog";
    // Wine makes this dialog an ANSI window and its buttons Unicode ones:
    // each must keep its own character set.
    const BOOL dialogUnicode = IsWindowUnicode(dialog);
    const HWND findNext = GetDlgItem(dialog, IDOK);
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    setWindowText(findNext, kButtonText);
    ASSERT_EQ(windowText(findNext), kButtonText) << "the program's own button does not keep Unicode text";

    ASSERT_TRUE(command(Command::AttachButtons, dialog).ok);
    // The dialog being ANSI, a Greek search word would reach the program as
    // question marks with or without the library: search a plain one.
    ASSERT_TRUE(bringToFront(dialog));
    typeText(L"epsilon");
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return selection() == spanOf(L"epsilon"); })) << describe(selection());
    EXPECT_EQ(IsWindowUnicode(dialog), dialogUnicode);
    EXPECT_TRUE(IsWindowUnicode(findNext) && IsWindowUnicode(cancel));
    EXPECT_EQ(windowText(findNext), kButtonText);
    setWindowText(cancel, kRetitle);
    EXPECT_EQ(windowText(cancel), kRetitle) << "a text set while attached";

    const Answer detached = command(Command::DetachButtons, dialog);
    EXPECT_TRUE(detached.ok) << narrow(detached.text);
    EXPECT_EQ(windowText(findNext), kButtonText);
    EXPECT_EQ(windowText(cancel), kRetitle);
    EXPECT_EQ(IsWindowUnicode(dialog), dialogUnicode);
    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    exitThroughMenu();
}

}  // namespace
