// A test fixture around a real program with the agent hooked into it: its
// menus read back through the agent, opened and picked with real keys by
// their own mnemonics, its dialogs found, and its exit through its own menu.
#pragma once

#include "real_program.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace realhost {

// One item of the agent's menu lines.
struct MenuEntry {
    std::wstring path;  // "2/5": positions from the menu bar down
    int depth;          // 0 on the menu bar
    UINT type;
    UINT state;
    UINT id;
    ULONG_PTR data;
    std::wstring text;
};

std::vector<MenuEntry> parseMenus(const std::wstring& lines);
// The text as shown, without mnemonic marks or accelerator, in lower case.
std::wstring plainText(const std::wstring& text);
wchar_t mnemonicOf(const std::wstring& text);
// The first item in a popup of the menu bar whose shown text contains
// fragment; an entry of depth -1 when there is none.
const MenuEntry& itemNamed(const std::vector<MenuEntry>& entries, const std::wstring& fragment);
// The items directly inside the item at path.
std::vector<MenuEntry> childrenOf(const std::vector<MenuEntry>& entries, const std::wstring& path);

class ProgramHost : public ::testing::Test {
protected:
    // Starts the program, hooks the agent into it and has it load the
    // libraries. Check HasFatalFailure() after it.
    void start(const std::wstring& program, const std::wstring& arguments, const wchar_t* mainClass);
    void TearDown() override { program_.reset(); }

    HWND main() const { return program_->mainWindow(); }
    Answer command(Command command, HWND window = nullptr, UINT argument = 0, const std::wstring& text = L"");
    std::vector<MenuEntry> menus();

    int openPopups() const { return program_->countWindows(L"#32768"); }
    // Until the menu loop has ended the program has not had the close.
    bool inMenuMode() const;
    ::testing::AssertionResult openTopMenu(const MenuEntry& top);
    void closeMenus();
    // Opens each popup of the menu bar, and each sub-menu of those whose
    // mnemonic is its own, and closes it again; with inspect, every item
    // of what is open must be the library's.
    void openEveryMenu(bool inspect);
    // Picks the command whose shown text contains fragment, through the
    // menus and the items' own mnemonics, as a user would.
    ::testing::AssertionResult choose(const std::wstring& fragment);
    HWND waitForDialog() const;
    void exitThroughMenu();
    // The program ends by itself within a bounded time, with exit code 0.
    void expectCleanExit();

    std::unique_ptr<RealProgram> program_;
    std::wstring name_;

private:
    void expectAllConverted(const std::wstring& what, std::size_t items);
};

}  // namespace realhost
