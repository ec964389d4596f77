// Other programs Wine ships, each hosting both libraries: every menu and
// sub-menu converted while open and given back exactly, the About box's
// buttons attached, given back and pressed, and a clean exit.
#include "program_host.h"

#include <gtest/gtest.h>

using namespace realhost;

namespace {

struct ShippedProgram {
    const wchar_t* path;
    const wchar_t* mainClass;
};

std::ostream& operator<<(std::ostream& out, const ShippedProgram& program) { return out << narrow(program.path); }

class ShippedProgramHost : public ProgramHost, public ::testing::WithParamInterface<ShippedProgram> {
protected:
    void SetUp() override { start(GetParam().path, L"", GetParam().mainClass); }
};

TEST_P(ShippedProgramHost, MenusAndAboutBoxComeBackExactlyAndTheProgramExitsCleanly)
{
    // The program updates its items as its popups open; what a first
    // opening without the library leaves is what every later one must.
    openEveryMenu(false);
    ASSERT_TRUE(command(Command::ConvertMenus).ok);
    openEveryMenu(true);
    const Answer unchanged = command(Command::CompareMenus);
    EXPECT_TRUE(unchanged.ok) << narrow(unchanged.text);

    ASSERT_TRUE(choose(L"about"));
    const HWND about = waitForDialog();
    ASSERT_NE(about, nullptr) << "no About box";
    const Answer attached = command(Command::AttachButtons, about);
    ASSERT_TRUE(attached.ok) << narrow(attached.text);
    const Answer detached = command(Command::DetachButtons, about);
    EXPECT_TRUE(detached.ok) << narrow(detached.text);
    // Pressed while attached: the box closes as the program made it.
    ASSERT_TRUE(command(Command::AttachButtons, about).ok);
    ASSERT_TRUE(bringToFront(about));
    clickWindow(GetDlgItem(about, IDOK));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); })) << "OK did not close the About box";

    const Answer afterAbout = command(Command::CompareMenus);
    EXPECT_TRUE(afterAbout.ok) << narrow(afterAbout.text);
    ASSERT_TRUE(command(Command::RestoreMenus).ok);
    const Answer restored = command(Command::CompareMenus);
    EXPECT_TRUE(restored.ok) << narrow(restored.text);
    ASSERT_TRUE(command(Command::UnloadLibraries).ok);
    exitThroughMenu();
}

const ShippedProgram kPrograms[] = {
    {L"Windows NT\\Accessories\\wordpad.exe", L"WORDPADTOP"},
    {L"regedit.exe", L"RegEdit_RegEdit"},
    {L"winemine.exe", L"WineMine"},
};

INSTANTIATE_TEST_SUITE_P(Wine, ShippedProgramHost, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<ShippedProgram>& info) {
                             std::string name = narrow(info.param.path);
                             name = name.substr(name.find_last_of('\\') + 1);
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
