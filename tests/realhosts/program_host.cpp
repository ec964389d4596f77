// The fixture around a real program: menus through the agent, real keys.
#include "program_host.h"

#include <algorithm>
#include <sstream>

namespace realhost {

std::vector<MenuEntry> parseMenus(const std::wstring& lines)
{
    std::vector<MenuEntry> entries;
    std::wistringstream in(lines);
    std::wstring line;
    while (std::getline(in, line)) {
        std::vector<std::wstring> fields;
        std::size_t start = 0;
        for (int i = 0; i < 6 && start < line.size(); ++i) {
            const auto tab = line.find(L'\t', start);
            if (tab == std::wstring::npos)
                break;
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() < 6)
            return {};  // not the agent's menu lines (no answer, for one)
        entries.push_back({fields[0], _wtoi(fields[1].c_str()), static_cast<UINT>(wcstoul(fields[2].c_str(), nullptr, 16)),
                           static_cast<UINT>(wcstoul(fields[3].c_str(), nullptr, 16)),
                           static_cast<UINT>(wcstoul(fields[4].c_str(), nullptr, 10)),
                           static_cast<ULONG_PTR>(wcstoull(fields[5].c_str(), nullptr, 16)), line.substr(start)});
    }
    return entries;
}

std::wstring plainText(const std::wstring& text)
{
    std::wstring plain;
    for (wchar_t c : text.substr(0, text.find(L'\t')))
        if (c != L'&')
            plain += static_cast<wchar_t>(towlower(c));
    return plain;
}

wchar_t mnemonicOf(const std::wstring& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'&' && text[i + 1] == L'&')
            ++i;
        else if (text[i] == L'&')
            return static_cast<wchar_t>(towlower(text[i + 1]));
    }
    return 0;
}

const MenuEntry& itemNamed(const std::vector<MenuEntry>& entries, const std::wstring& fragment)
{
    for (const auto& item : entries)
        if (item.depth == 1 && plainText(item.text).find(fragment) != std::wstring::npos)
            return item;
    static const MenuEntry none = {L"", -1, 0, 0, 0, 0, L""};
    return none;
}

std::vector<MenuEntry> childrenOf(const std::vector<MenuEntry>& entries, const std::wstring& path)
{
    std::vector<MenuEntry> children;
    for (const auto& item : entries)
        if (item.path.rfind(path + L"/", 0) == 0 && item.path.find(L'/', path.size() + 1) == std::wstring::npos)
            children.push_back(item);
    return children;
}

namespace {

WORD keyOf(wchar_t letter) { return static_cast<WORD>(LOBYTE(VkKeyScanW(letter))); }

// Sub-menus reached by a mnemonic no other item of their popup has.
std::vector<MenuEntry> reachableSubMenus(const std::vector<MenuEntry>& entries, const std::vector<MenuEntry>& items)
{
    std::vector<MenuEntry> reachable;
    for (const auto& item : items) {
        const wchar_t letter = mnemonicOf(item.text);
        const auto sharing = std::count_if(items.begin(), items.end(),
                                           [&](const MenuEntry& other) { return mnemonicOf(other.text) == letter; });
        if (letter && sharing == 1 && !childrenOf(entries, item.path).empty())
            reachable.push_back(item);
    }
    return reachable;
}

}  // namespace

void ProgramHost::start(const std::wstring& program, const std::wstring& arguments, const wchar_t* mainClass)
{
    name_ = program;
    program_ = std::make_unique<RealProgram>(program, arguments, mainClass);
    ASSERT_TRUE(program_->started()) << narrow(program) << " did not show its window";
    const Answer hooked = program_->hookAgent();
    ASSERT_TRUE(hooked.delivered && hooked.ok) << narrow(hooked.text);
}

Answer ProgramHost::command(Command command, HWND window, UINT argument, const std::wstring& text)
{
    return program_->command(command, window ? window : main(), argument, text);
}

std::vector<MenuEntry> ProgramHost::menus() { return parseMenus(command(Command::DescribeMenus).text); }

bool ProgramHost::inMenuMode() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(program_->thread(), &info);
    return (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

::testing::AssertionResult ProgramHost::openTopMenu(const MenuEntry& top)
{
    // On a busy machine the program may still be leaving the menu before
    // when the chord arrives, and the chord then only ends that one: once
    // it has surely left, the chord is pressed again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!bringToFront(main()))
            return ::testing::AssertionFailure() << narrow(name_) << " cannot be brought to the front";
        pressChord({VK_MENU, keyOf(mnemonicOf(top.text))});
        if (waitUntil([&] { return openPopups() > 0; }))
            return ::testing::AssertionSuccess();
        closeMenus();
    }
    return ::testing::AssertionFailure() << "menu " << narrow(top.text) << " did not open";
}

// Each Escape closes the innermost popup; the last one leaves the menu bar.
void ProgramHost::closeMenus()
{
    for (int popups = openPopups(); popups > 0; --popups) {
        pressKey(VK_ESCAPE);
        waitUntil([&] { return openPopups() < popups; }, 3000);
    }
    pressKey(VK_ESCAPE);
    waitUntil([&] { return !inMenuMode(); }, 3000);
}

void ProgramHost::expectAllConverted(const std::wstring& what, std::size_t items)
{
    const Answer open = command(Command::InspectOpenMenus);
    EXPECT_TRUE(open.ok) << narrow(what) << ": " << narrow(open.text);
    EXPECT_NE(open.text.find(L" items " + std::to_wstring(items) + L" "), std::wstring::npos)
        << narrow(what) << ": " << narrow(open.text);
}

void ProgramHost::openEveryMenu(bool inspect)
{
    const auto entries = menus();
    for (const auto& top : entries) {
        if (top.depth != 0)
            continue;
        const auto items = childrenOf(entries, top.path);
        ASSERT_TRUE(openTopMenu(top));
        if (inspect)
            expectAllConverted(top.text, items.size());
        for (const auto& sub : reachableSubMenus(entries, items)) {
            pressKey(keyOf(mnemonicOf(sub.text)));
            EXPECT_TRUE(waitUntil([&] { return openPopups() == 2; })) << narrow(sub.text) << " did not open";
            if (inspect)
                expectAllConverted(sub.text, items.size() + childrenOf(entries, sub.path).size());
            pressKey(VK_ESCAPE);
            EXPECT_TRUE(waitUntil([&] { return openPopups() == 1; })) << narrow(sub.text) << " did not close";
        }
        closeMenus();
        ASSERT_TRUE(waitUntil([&] { return !inMenuMode(); })) << "the menu stayed open";
    }
}

::testing::AssertionResult ProgramHost::choose(const std::wstring& fragment)
{
    const auto entries = menus();
    const MenuEntry& item = itemNamed(entries, fragment);
    const std::wstring topPath = item.path.substr(0, item.path.find(L'/'));
    for (const auto& top : entries) {
        if (item.depth < 0 || top.path != topPath)
            continue;
        if (auto opened = openTopMenu(top); !opened)
            return opened;
        pressKey(keyOf(mnemonicOf(item.text)));
        if (!waitUntil([&] { return !inMenuMode(); }))
            return ::testing::AssertionFailure() << "the menu stayed open after " << narrow(item.text);
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no command \"" << narrow(fragment) << "\" in\n"
                                         << narrow(command(Command::DescribeMenus).text);
}

HWND ProgramHost::waitForDialog() const
{
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = program_->findWindow(L"#32770")) != nullptr; });
    return dialog;
}

void ProgramHost::exitThroughMenu()
{
    ASSERT_TRUE(choose(L"exit"));
    expectCleanExit();
}

void ProgramHost::expectCleanExit()
{
    DWORD exitCode = 0;
    ASSERT_TRUE(program_->waitForExit(10000, exitCode)) << narrow(name_) << " did not end";
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace realhost
