// The greyscale of the second look, as pure arithmetic over pixels.
#pragma once

#include <cstddef>
#include <cstdint>

// Grey level of a colour: weights 38, 75 and 15 (summing to 128), so black
// stays 0 and white stays 255.
constexpr std::uint8_t GreyLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<std::uint8_t>((red * 38 + green * 75 + blue * 15) >> 7);
}

// Turns rows of 24-bit pixels (blue, green, red bytes; rows of stride bytes)
// into their grey levels in place.
void GreyscaleBgrRows(std::uint8_t* rows, int width, int height, std::size_t stride);
