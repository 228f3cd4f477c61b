// The picture beside the Files page's drawing list: the preview image stored
// in the one selected drawing, scaled to fit, or the plain face colour. The
// last image drawn is kept process-wide and repainted from while the same
// drawing stays selected, without reading the file again.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"

class CPreview : public fw::CStatic {
  public:
    // The Files page's list; its selected item's DrawingItem (item data)
    // names the drawing shown. Set by the page before the first paint.
    fw::CListCtrl* List = nullptr;

    // Draws the preview image of the drawing at path into the client area.
    void PaintPreview(const std::wstring& path);

  protected:
    bool OnPaint() override;
};
