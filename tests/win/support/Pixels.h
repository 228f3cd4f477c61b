// Reading back what a window shows on the screen, for tests of painted
// controls: the pixels of a window as 0x00RRGGBB values, row by row.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testenv {

struct Pixels {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Rgb;  // Width * Height, top row first
    uint32_t At(int x, int y) const { return Rgb[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Pixels& o) const {
        return Width == o.Width && Height == o.Height && Rgb == o.Rgb;
    }
};

// Repaints the window now, then reads its whole window rectangle from the
// screen.
Pixels Capture(HWND window);
// The pixels of a bitmap.
Pixels BitmapPixels(HBITMAP bitmap);
// 0x00RRGGBB of a COLORREF.
uint32_t Rgb(COLORREF colour);
// The largest difference of one channel between two colours.
int ChannelDistance(uint32_t a, uint32_t b);
// Pixels clearly apart from the face colour: the ink of a text, or what a
// painted control adds to an empty static.
int OffFacePixels(const Pixels& p);

}  // namespace testenv
