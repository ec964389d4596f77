// A module with icon resources made at run time: a copy of a small DLL of
// the build, given RT_ICON and RT_GROUP_ICON resources of solid colours.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace button_testing {

struct SolidIcon {
    unsigned int id;
    int size;  // square, pixels
    COLORREF colour;
};

class IconModule {
public:
    explicit IconModule(const std::vector<SolidIcon>& icons);
    ~IconModule();
    IconModule(const IconModule&) = delete;
    IconModule& operator=(const IconModule&) = delete;

    HINSTANCE handle() const { return module_; }

private:
    std::string path_;
    HINSTANCE module_ = nullptr;
};

}  // namespace button_testing
