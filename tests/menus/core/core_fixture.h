// A fresh menu library per test (start-up before, teardown after), the
// fixture module of icons and toolbars, and readers of the shared image list.
#pragma once

#include "menu_library_fixture.h"
#include "menu_state.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

class MenuLibraryTest : public FreshMenuLibraryTest {
protected:
    static int imageCount();
    // Image index of each command, in the order given.
    static std::vector<int> imagesOf(const std::vector<unsigned int>& commands);
};

// Colour of the background that shows through transparent image pixels.
constexpr COLORREF kBackdrop = RGB(0x12, 0x34, 0x56);

// Pixels (COLORREF) of image index of the shared image list drawn
// transparently over kBackdrop, rows top to bottom.
std::vector<COLORREF> drawnImage(int index);

// What a toolbar button pixel of the fixture pattern looks like once loaded:
// the standard colours replaced by the system colours, and whatever became
// the button-face colour transparent.
enum class Pattern { Standard, Mono };
COLORREF expectedButtonPixel(Pattern pattern, int button, int x, int y);

// The bytes and size of a resource of the fixture module.
struct FixtureResource {
    const void* data;
    std::size_t size;
};
FixtureResource fixtureResource(HINSTANCE module, int id, LPCSTR type);

std::vector<unsigned char> resourceBytes(HINSTANCE module, int id, LPCSTR type);
void put16(std::vector<unsigned char>& bytes, std::size_t at, std::uint16_t value);
void put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value);

// Changes resource bytes at random, one to three times: a byte, a header
// field set to an edge value, or a cut. True when cutting was the only change.
bool mutateResource(std::vector<unsigned char>& bytes, bool isBitmap, std::mt19937& random);
