#include "wizard/Preview.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/Text.h"
#include "drawings/core/PreviewCore.h"
#include "wizard/core/DrawingItem.h"

AxvekFilenm CPreview::CachedName;
fw::CBitmapDC CPreview::CacheDC;

namespace {

constexpr int kMargin = 4;

void FillFace(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

const DrawingItem* CPreview::SelectedDrawing() const {
    if (!List || !List->GetSafeHwnd() || List->GetSelectedCount() != 1) return nullptr;
    const int index = List->GetNextItem(-1, LVNI_SELECTED);
    if (index < 0) return nullptr;
    return reinterpret_cast<const DrawingItem*>(List->GetItemData(index));
}

void CPreview::PaintPreview(const std::wstring& path) {
    if (!hwnd_) return;
    fw::CClientDC dc(hwnd_);
    if (dc.Get()) DrawPreview(dc.Get(), GetClientRect(), path);
}

void CPreview::DrawPreview(HDC dc, const RECT& area, const std::wstring& path) {
    const AxvekFilenm name(path);
    if (name.FullPath.empty() ||
        GetFileAttributesW(name.FullPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    PreviewCore core;
    const std::vector<uint8_t> block = core.Load(name.FullPath);
    if (block.size() < sizeof(BITMAPINFOHEADER)) return;
    BITMAPINFOHEADER header{};
    std::memcpy(&header, block.data(), sizeof header);

    const int64_t sourceWidth = header.biWidth;
    const int64_t sourceHeight = std::llabs(static_cast<int64_t>(header.biHeight));
    size_t colours = 0;
    if (header.biBitCount <= 8)
        colours = header.biClrUsed ? header.biClrUsed : size_t{1} << header.biBitCount;
    // The reader hands over whole blocks; still, nothing is drawn from bytes
    // that are not there.
    const uint64_t stride =
        ((static_cast<uint64_t>(sourceWidth) * header.biBitCount + 31) / 32) * 4;
    const uint64_t pixelsAt = header.biSize + colours * sizeof(RGBQUAD);
    if (header.biSize != sizeof header || colours > 256 || sourceWidth <= 0 || sourceHeight <= 0 ||
        pixelsAt + stride * static_cast<uint64_t>(sourceHeight) > block.size())
        return;

    SetStretchBltMode(dc, COLORONCOLOR);
    fw::CPalette palette;
    if (colours > 0) {
        SetStretchBltMode(dc, BLACKONWHITE);
        std::vector<uint8_t> description(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(description.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(colours);
        const auto* table = reinterpret_cast<const RGBQUAD*>(block.data() + header.biSize);
        for (size_t i = 0; i < colours; ++i)
            logical->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        palette.Create(logical);
    }
    const fw::SelectedPalette selected(dc, palette.Get());

    const int areaWidth = area.right - area.left - 2 * kMargin;
    const int areaHeight = area.bottom - area.top - 2 * kMargin;
    if (areaWidth <= 0 || areaHeight <= 0) return;
    const float scale = std::min(static_cast<float>(areaWidth) / static_cast<float>(sourceWidth),
                                 static_cast<float>(areaHeight) / static_cast<float>(sourceHeight));
    const int width = static_cast<int>(static_cast<float>(sourceWidth) * scale);
    const int height = static_cast<int>(static_cast<float>(sourceHeight) * scale);
    StretchDIBits(dc, area.left + kMargin + (areaWidth - width) / 2,
                  area.top + kMargin + (areaHeight - height) / 2, width, height, 0, 0,
                  static_cast<int>(sourceWidth), static_cast<int>(sourceHeight),
                  block.data() + pixelsAt, reinterpret_cast<const BITMAPINFO*>(block.data()),
                  DIB_RGB_COLORS, SRCCOPY);
}

void CPreview::ResetCache() {
    CachedName = AxvekFilenm();
    CacheDC.Reset();
}

bool CPreview::OnPaint() {
    fw::CPaintDC dc(hwnd_);
    const RECT client = GetClientRect();
    const DrawingItem* item = SelectedDrawing();
    if (!item || item->Missing || client.right <= 0 || client.bottom <= 0) {
        FillFace(dc.Get(), client);
        return true;
    }
    const std::wstring path = item->Path();
    const int width = client.right, height = client.bottom;
    // A copy of another size (another preview of the process) would leave
    // part of the area unpainted: that drawing is drawn again.
    if (CacheDC && CacheDC.Width() == width && CacheDC.Height() == height &&
        text::EqualsNoCase(path, CachedName.FullPath)) {
        BitBlt(dc.Get(), 0, 0, width, height, CacheDC.Get(), 0, 0, SRCCOPY);
        return true;
    }
    // Drawn off screen and then shown, so the copy kept is the image itself,
    // never whatever covers the control on the screen at this moment.
    if (!CacheDC.Create(dc.Get(), width, height)) {
        // No room for a copy: drawn straight onto the screen, nothing kept.
        CachedName = AxvekFilenm();
        FillFace(dc.Get(), client);
        DrawPreview(dc.Get(), client, path);
        return true;
    }
    FillFace(CacheDC.Get(), client);
    DrawPreview(CacheDC.Get(), client, path);
    CachedName = AxvekFilenm(path);
    BitBlt(dc.Get(), 0, 0, width, height, CacheDC.Get(), 0, 0, SRCCOPY);
    return true;
}
