#pragma once
// What the library knows of the display: its size in pixels and its depth.
// Images that "take the display's depth" are 32 bits per pixel.

#include "Types.h"

class Screen {
public:
    static constexpr int kDepth = 32;
    // The primary screen's size, or 1920 x 1080 without a display.
    static CSize size();
    static int depth();
    // Lets tests stand in for another display; a zero size restores the real one.
    static void simulate(CSize size, int depth);
};
