#include "framework/Gdi.h"

#include <commctrl.h>

#include "framework/Resources.h"

namespace fw {

SelectedPalette::SelectedPalette(HDC dc, HPALETTE palette, bool background)
    : dc_(dc), previous_(dc && palette ? SelectPalette(dc, palette, background) : nullptr) {
    if (previous_) RealizePalette(dc_);
}

SelectedPalette::~SelectedPalette() {
    if (previous_) SelectPalette(dc_, previous_, TRUE);
}

bool CBitmapDC::Create(HDC compatibleWith, int width, int height) {
    Reset();
    if (!compatibleWith || width <= 0 || height <= 0) return false;
    // The bitmap after the other context, not the memory one: a new memory
    // context holds a one-pixel monochrome bitmap.
    UniqueMemoryDc dc(CreateCompatibleDC(compatibleWith));
    UniqueBitmap bitmap(CreateCompatibleBitmap(compatibleWith, width, height));
    if (!dc || !bitmap) return false;
    previous_ = SelectObject(dc.Get(), bitmap.Get());
    if (!previous_) return false;
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    return true;
}

void CBitmapDC::Reset() {
    if (previous_) SelectObject(dc_.Get(), previous_);
    previous_ = nullptr;
    dc_.Reset();
    bitmap_.Reset();
    width_ = height_ = 0;
}

bool CBitmap::LoadBitmap(UINT id) {
    bitmap_.Reset(static_cast<HBITMAP>(
        LoadImageW(ResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
    return bitmap_.Valid();
}

bool CBitmap::LoadMappedBitmap(UINT id, const COLORMAP* map, int entries) {
    bitmap_.Reset(CreateMappedBitmap(ResourceHandle(), static_cast<INT_PTR>(id), 0,
                                     const_cast<COLORMAP*>(map), entries));
    return bitmap_.Valid();
}

bool CBitmap::GetSize(SIZE& size) const {
    size = SIZE{0, 0};
    BITMAP info{};
    if (!bitmap_.Valid() || !GetObjectW(bitmap_.Get(), sizeof info, &info)) return false;
    size = SIZE{info.bmWidth, info.bmHeight};
    return true;
}

bool CBitmap::CreateScaled(HBITMAP source, SIZE size, int mode) {
    bitmap_.Reset();
    BITMAP info{};
    if (!source || size.cx <= 0 || size.cy <= 0 || !GetObjectW(source, sizeof info, &info))
        return false;
    CClientDC screen(nullptr);
    UniqueBitmap scaled(CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    CMemoryDC from(screen.Get()), to(screen.Get());
    if (!scaled || !from || !to) return false;
    {
        SelectedObject in(from.Get(), source);
        SelectedObject out(to.Get(), scaled.Get());
        SetStretchBltMode(to.Get(), mode);
        SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        if (!StretchBlt(to.Get(), 0, 0, size.cx, size.cy, from.Get(), 0, 0, info.bmWidth,
                        info.bmHeight, SRCCOPY))
            return false;
    }
    bitmap_ = std::move(scaled);
    return true;
}

int ScreenDpi() {
    CClientDC screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

SIZE ScaledForScreen(SIZE size) {
    const int dpi = ScreenDpi();
    return SIZE{MulDiv(size.cx, dpi, 96), MulDiv(size.cy, dpi, 96)};
}

void PaintIconCentred(HWND window, HICON icon) {
    CPaintDC dc(window);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    const int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);
    RECT client{};
    GetClientRect(window, &client);
    const int x = (client.right - client.left - width + 1) / 2;
    const int y = (client.bottom - client.top - height + 1) / 2;
    DrawIcon(dc.Get(), x, y, icon);
}

UniqueIcon LoadResIcon(UINT id, int width, int height) {
    if (width <= 0) width = GetSystemMetrics(SM_CXICON);
    if (height <= 0) height = GetSystemMetrics(SM_CYICON);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(ResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0)));
}

}  // namespace fw
