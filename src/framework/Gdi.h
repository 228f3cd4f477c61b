// Owners of GDI resources, in the style of Handle.h: device contexts for a
// paint, a window or a memory bitmap; an object selected into a context for a
// scope; fonts, bitmaps, palettes and icons deleted with their owner.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "framework/Handle.h"

namespace fw {

template <typename T>
struct GdiObjectTraits {
    static T Invalid() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static bool Close(T h) { return DeleteObject(h) != FALSE; }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static bool Close(HDC h) { return DeleteDC(h) != FALSE; }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static bool Close(HICON h) { return DestroyIcon(h) != FALSE; }
};

using UniqueFont = UniqueResource<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniquePalette = UniqueResource<HPALETTE, GdiObjectTraits<HPALETTE>>;
using UniqueBrush = UniqueResource<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;
using UniqueIcon = UniqueResource<HICON, IconTraits>;

// BeginPaint .. EndPaint for a WM_PAINT.
class CPaintDC {
  public:
    explicit CPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~CPaintDC() {
        if (window_) EndPaint(window_, &paint_);
    }
    CPaintDC(CPaintDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(other.dc_), paint_(other.paint_) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    CPaintDC& operator=(CPaintDC&&) = delete;

    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return paint_; }

  private:
    HWND window_;
    HDC dc_ = nullptr;
    PAINTSTRUCT paint_{};
};

// GetDC .. ReleaseDC: a context for a window's client area (the screen's for
// nullptr), outside of WM_PAINT.
class CClientDC {
  public:
    explicit CClientDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~CClientDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    CClientDC(CClientDC&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    CClientDC& operator=(CClientDC&&) = delete;

    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory context compatible with another context.
class CMemoryDC {
  public:
    explicit CMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    HDC Get() const { return dc_.Get(); }
    explicit operator bool() const { return dc_.Valid(); }

  private:
    UniqueMemoryDc dc_;
};

// A memory context with a bitmap of its own selected into it, both made
// compatible with another context: an off-screen copy of a window's area
// that outlives the paint it was made in. Deleted together, the bitmap
// deselected first.
class CBitmapDC {
  public:
    CBitmapDC() = default;
    ~CBitmapDC() { Reset(); }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;

    // Replaces what the object held with a new context and a bitmap of that
    // size; false, and the object empty, when either cannot be made.
    bool Create(HDC compatibleWith, int width, int height);
    void Reset();

    HDC Get() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    explicit operator bool() const { return dc_.Valid(); }

  private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0, height_ = 0;
};

// An object selected into a context; the previous one is selected back when
// the scope ends, so that the object can be deleted afterwards.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject& operator=(SelectedObject&&) = delete;

    bool Selected() const { return previous_ != nullptr; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A palette selected into a context (and realised) for a scope.
class SelectedPalette {
  public:
    SelectedPalette(HDC dc, HPALETTE palette, bool background = false);
    ~SelectedPalette();
    SelectedPalette(SelectedPalette&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;
    SelectedPalette& operator=(SelectedPalette&&) = delete;

  private:
    HDC dc_;
    HPALETTE previous_;
};

class CFont {
  public:
    bool CreateIndirect(const LOGFONTW& description) {
        font_.Reset(CreateFontIndirectW(&description));
        return font_.Valid();
    }
    HFONT Get() const { return font_.Get(); }
    bool Empty() const { return !font_.Valid(); }
    void Reset() { font_.Reset(); }

  private:
    UniqueFont font_;
};

class CBitmap {
  public:
    // A bitmap resource of the resource library.
    bool LoadBitmap(UINT id);
    // A bitmap resource of the resource library with colours of its colour
    // table replaced (CreateMappedBitmap, flags 0).
    bool LoadMappedBitmap(UINT id, const COLORMAP* map, int entries);
    // A copy of another bitmap stretched to that size, in the stretch mode
    // given (HALFTONE blends; COLORONCOLOR keeps every colour as it was, for a
    // picture with a mask colour); false, and the object empty, when it
    // cannot be made.
    bool CreateScaled(HBITMAP source, SIZE size, int mode = HALFTONE);
    void Attach(HBITMAP bitmap) { bitmap_.Reset(bitmap); }

    HBITMAP Get() const { return bitmap_.Get(); }
    bool Empty() const { return !bitmap_.Valid(); }
    // Width and height in pixels; false (and 0, 0) when empty.
    bool GetSize(SIZE& size) const;
    void Reset() { bitmap_.Reset(); }

  private:
    UniqueBitmap bitmap_;
};

class CPalette {
  public:
    bool Create(const LOGPALETTE* description) {
        palette_.Reset(CreatePalette(description));
        return palette_.Valid();
    }
    HPALETTE Get() const { return palette_.Get(); }
    bool Empty() const { return !palette_.Valid(); }

  private:
    UniquePalette palette_;
};

// The screen's pixels per logical inch: 96 at the normal size, more on a
// screen set larger, by which the system grows dialogs and their fonts.
int ScreenDpi();
// A size in pixels for 96 pixels per inch, at the screen's: pictures drawn
// for the normal size keep their place in a dialog that grew.
SIZE ScaledForScreen(SIZE size);

// The WM_PAINT of a minimised window: its background, then the icon in the
// system's icon size centred in the client area.
void PaintIconCentred(HWND window, HICON icon);

// An icon of the resource library in the given size (0, 0: the system's
// large icon size), owned by the caller.
UniqueIcon LoadResIcon(UINT id, int width = 0, int height = 0);

}  // namespace fw
