#pragma once

#include <cstdint>

// Colours as the graph takes them: red in the lowest byte, then green, then blue.
using COLORREF = std::uint32_t;

// A rectangle of the graph's drawing space (-50 .. 50 on both axes); y grows
// upward, so top is the larger y.
struct GraphRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const GraphRect&) const = default;
};

// Style flags of a graph.
enum : std::uint16_t {
    kStyleZeroLine = 0x02,  // solid grid line where an axis value is zero
    kStyleNoGrid = 0x04,    // no grid and no zero line
    kStyleCompactX = 0x08,  // X labels only at the left, middle and right
    kStyleDots = 0x20,      // a dot at every sample as well as the line
};

// Largest increment an axis takes: thirty divisions of it still fit in 31 bits,
// and every product of a scroll position and an increment is made in 64 bits.
constexpr std::int32_t kMaxIncrement = 1 << 26;
