#include "wizard/PaintedControls.h"

#include <string>

#include "resources/ids.h"

bool CWizardBmp::OnPaint() {
    fw::CPaintDC dc(hwnd_);
    const RECT client = GetClientRect();
    // A picture that cannot be loaded leaves the area as it is; the next
    // paint tries again.
    if (bitmap_.Empty()) bitmap_.LoadBitmap(IDB_WIZARD_PICTURE);
    SIZE size{};
    if (!bitmap_.GetSize(size)) return true;
    fw::CMemoryDC memory(dc.Get());
    fw::SelectedObject picture(memory.Get(), bitmap_.Get());
    // Whole rows and columns rather than the default mode's blending by AND,
    // which darkens a shrunk colour picture.
    SetStretchBltMode(dc.Get(), COLORONCOLOR);
    StretchBlt(dc.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    return true;
}

CTranspBmp::CTranspBmp() {
    const COLORMAP white{RGB(255, 255, 255), GetSysColor(COLOR_BTNFACE)};
    bitmap_.LoadMappedBitmap(IDB_EMBLEM, &white, 1);
}

bool CTranspBmp::OnPaint() {
    fw::CPaintDC dc(hwnd_);
    SIZE size{};
    if (!bitmap_.GetSize(size)) return true;
    RECT window = GetWindowRect();
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&window), 2);
    // Drawn for the normal screen size: on a larger one it grows with the
    // dialog around it.
    const SIZE shown = fw::ScaledForScreen(size);
    fw::CMemoryDC memory(dc.Get());
    fw::SelectedObject picture(memory.Get(), bitmap_.Get());
    if (shown.cx == size.cx && shown.cy == size.cy) {
        BitBlt(dc.Get(), window.left, window.top, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
        return true;
    }
    SetStretchBltMode(dc.Get(), HALFTONE);
    SetBrushOrgEx(dc.Get(), 0, 0, nullptr);
    StretchBlt(dc.Get(), window.left, window.top, shown.cx, shown.cy, memory.Get(), 0, 0, size.cx,
               size.cy, SRCCOPY);
    return true;
}

void CBoldTxt::SetBold(bool bold) {
    if (bold == bold_) return;
    bold_ = bold;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool CBoldTxt::OnPaint() {
    fw::CPaintDC dc(hwnd_);
    const std::wstring text = GetWindowText();
    RECT client = GetClientRect();
    HDC hdc = dc.Get();

    // Blank what an earlier paint left: the text once more in the face
    // colour on the face colour.
    SetBkMode(hdc, OPAQUE);
    SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
    const COLORREF textColour = SetTextColor(hdc, GetSysColor(COLOR_BTNFACE));
    DrawTextW(hdc, text.c_str(), -1, &client, DT_SINGLELINE);

    // The control's own font in the weight asked for; the font itself when
    // that one cannot be made.
    const HFONT own = GetFont();
    fw::CFont weighted;
    LOGFONTW description{};
    if (own && GetObjectW(own, sizeof description, &description)) {
        description.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
        weighted.CreateIndirect(description);
    }
    fw::SelectedObject font(hdc, weighted.Empty() ? own : weighted.Get());
    SetTextColor(hdc, textColour);
    DrawTextW(hdc, text.c_str(), -1, &client, DT_SINGLELINE);
    return true;
}
