// A host window installed in a fresh menu library, with a recorder window
// procedure, and real menu loops driven by a thread timer: each tick runs
// the next step inside the open menu, and the menu is closed after the last.
#pragma once

#include "menu_items.h"
#include "menu_state.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Everything a host can see of one menu item.
using ItemState = testing_support::MenuItemSnapshot;
using testing_support::itemsOf;

void appendItem(HMENU menu, UINT id, const char* text, UINT type = MFT_STRING, UINT state = 0,
                HMENU subMenu = nullptr, ULONG_PTR data = 0);
const MenuItemData* recordAt(HMENU menu, int position);

class MenuLoopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens popup with TrackPopupMenu from the window and runs the steps one
    // per timer tick while it is open; returns when the menu has closed.
    void track(HMENU popup, std::vector<std::function<void()>> steps);
    // The same for a menu that open() opens and that runs until closed.
    void runMenu(const std::function<void()>& open, std::vector<std::function<void()>> steps);
    void key(WPARAM virtualKey);

    HINSTANCE fixtures = nullptr;
    HWND window = nullptr;

    // What the host's own window procedure received.
    static std::vector<UINT> hostMessages;
    static std::function<void(HMENU)> onHostInitMenuPopup;
    static LRESULT hostInitMenuPopupResult;
    static LRESULT CALLBACK hostProc(HWND, UINT, WPARAM, LPARAM);
};
