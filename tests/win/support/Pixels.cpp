#include "support/Pixels.h"

#include <algorithm>
#include <cstdlib>

namespace testenv {

namespace {
Pixels ReadDib(HDC source, int x, int y, int width, int height) {
    Pixels p;
    p.Width = width;
    p.Height = height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const uint32_t*>(bits);
    p.Rgb.assign(data, data + static_cast<size_t>(width) * height);
    for (auto& v : p.Rgb) v &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    return p;
}
}  // namespace

Pixels Capture(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    Pixels p = ReadDib(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return p;
}

Pixels BitmapPixels(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pixels p = ReadDib(memory, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return p;
}

uint32_t Rgb(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                 static_cast<int>((b >> shift) & 0xFF)));
    return d;
}

int OffFacePixels(const Pixels& p) {
    const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    int n = 0;
    for (uint32_t v : p.Rgb) n += ChannelDistance(v, face) > 96;
    return n;
}

}  // namespace testenv
