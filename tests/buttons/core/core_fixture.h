// Every core test starts from a freshly loaded library and ends by unloading
// it, so no test sees another's dialogs.
#pragma once

#include "button_dialog.h"
#include "button_registry.h"
#include "tavrolib.h"

#include <gtest/gtest.h>

#include <stdexcept>

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { libraryLoad(); }
    void TearDown() override { libraryUnload(); }

    // Installs the fixture dialog and attaches one button; the button's record.
    HookedButton& attached(HWND button)
    {
        const unsigned int id = static_cast<unsigned int>(GetDlgCtrlID(button));
        if (!findDialog(dialog.hwnd())) {
            EXPECT_TRUE(Tavro_Install(dialog.hwnd()));
        }
        EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, true));
        HookedButton* record = findButton(dialog.hwnd(), id);
        if (!record)
            throw std::runtime_error("button not attached");
        return *record;
    }

    static LONG_PTR procOf(HWND window) { return GetWindowLongPtrA(window, GWLP_WNDPROC); }
    static DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

    button_testing::ButtonDialog dialog;
};
