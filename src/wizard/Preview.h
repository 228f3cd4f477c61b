// The picture beside the Files page's drawing list: the preview image stored
// in the one selected drawing, scaled to fit, or the plain face colour. The
// last image drawn is kept process-wide and repainted from while the same
// drawing stays selected, without reading the file again.
#pragma once

#include <windows.h>

#include <string>

#include "drawings/AxvekFilenm.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"

struct DrawingItem;

class CPreview : public fw::CStatic {
  public:
    // The Files page's list; its selected item's DrawingItem (item data)
    // names the drawing shown. Set by the page before the first paint.
    fw::CListCtrl* List = nullptr;

    // Draws the preview image of the drawing at path into the client area.
    void PaintPreview(const std::wstring& path);

    // Forgets the image kept for the process, as at its start.
    static void ResetCache();

  protected:
    bool OnPaint() override;

  private:
    // The drawing of the list's one selected item; nullptr for none, for
    // several, or for an item without its data.
    const DrawingItem* SelectedDrawing() const;
    // The preview image of the drawing at path, scaled to fit area less a
    // margin and centred, drawn onto dc; nothing when there is none.
    static void DrawPreview(HDC dc, const RECT& area, const std::wstring& path);

    // The drawing last drawn (FullPath empty until the first) and the client
    // area as it was drawn then; shared by every preview of the process and
    // kept until it ends.
    static AxvekFilenm CachedName;
    static fw::CBitmapDC CacheDC;
};
