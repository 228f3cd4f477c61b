#include "wizard/Preview.h"

// Filled in by the preview's own change; until then the area stays plain.
void CPreview::PaintPreview(const std::wstring&) {}

bool CPreview::OnPaint() {
    return false;
}
