#include "framework/Controls.h"

#include "framework/Gdi.h"
#include "framework/Resources.h"

namespace fw {

std::wstring CComboBox::GetLBText(int index) const {
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, index);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

int CListCtrl::InsertColumn(int column, const std::wstring& heading, int format, int width) const {
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<wchar_t*>(heading.c_str());
    col.iSubItem = column;
    return ListView_InsertColumn(hwnd_, column, &col);
}

int CListCtrl::InsertItem(int index, const std::wstring& text, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return ListView_InsertItem(hwnd_, &item);
}

bool CListCtrl::SetItemText(int item, int subItem, const std::wstring& text) const {
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

bool CListCtrl::SetItemTextCallback(int item, int subItem) const {
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = LPSTR_TEXTCALLBACKW;
    return SendMessage(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
    // LVM_GETITEMTEXT says only how much it copied: grow until it fits.
    for (size_t size = 256;; size *= 4) {
        std::wstring text(size, L'\0');
        LVITEMW lv{};
        lv.iSubItem = subItem;
        lv.pszText = text.data();
        lv.cchTextMax = static_cast<int>(size);
        const LRESULT copied = SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
        if (copied < 0) return std::wstring();
        if (static_cast<size_t>(copied) + 1 < size || size >= 65536) {
            text.resize(static_cast<size_t>(copied));
            return text;
        }
    }
}

LPARAM CListCtrl::GetItemData(int item) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return ListView_GetItem(hwnd_, &lv) ? lv.lParam : 0;
}

bool CListCtrl::SetItemData(int item, LPARAM data) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    lv.lParam = data;
    return ListView_SetItem(hwnd_, &lv) != FALSE;
}

HTREEITEM CTreeCtrl::InsertItem(const std::wstring& text, int image, int selectedImage,
                                HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return TreeView_InsertItem(hwnd_, &insert);
}

std::wstring CTreeCtrl::GetItemText(HTREEITEM item) const {
    for (size_t size = 264;; size *= 4) {
        std::wstring text(size, L'\0');
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(size);
        if (!TreeView_GetItem(hwnd_, &tv)) return std::wstring();
        text.resize(wcsnlen(text.c_str(), size));
        if (text.size() + 1 < size || size >= 65536) return text;
    }
}

bool CTreeCtrl::SetItemText(HTREEITEM item, const std::wstring& text) const {
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<wchar_t*>(text.c_str());
    return TreeView_SetItem(hwnd_, &tv) != FALSE;
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    return TreeView_GetItem(hwnd_, &tv) ? tv.lParam : 0;
}

bool CTreeCtrl::SetItemData(HTREEITEM item, LPARAM data) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    tv.lParam = data;
    return TreeView_SetItem(hwnd_, &tv) != FALSE;
}

bool CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    if (!TreeView_GetItem(hwnd_, &tv)) return false;
    image = tv.iImage;
    selectedImage = tv.iSelectedImage;
    return true;
}

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    Reset();
    list_.Reset(ImageList_Create(width, height, flags, initial, grow));
    return list_.Valid();
}

bool CImageList::LoadBitmap(UINT id, int width, int grow, COLORREF mask) {
    Reset();
    CBitmap strip;
    SIZE size{};
    if (!strip.LoadBitmap(id) || !strip.GetSize(size) || width <= 0) return false;
    // Drawn for the normal screen size: on a larger one the images grow with
    // the rows of the control that shows them. Whole pixels, so that the
    // mask colour stays exact.
    const SIZE scaled = ScaledForScreen(size);
    const int count = size.cx / width;
    CBitmap shown;
    if (scaled.cx != size.cx || scaled.cy != size.cy) {
        if (!shown.CreateScaled(strip.Get(), scaled, COLORONCOLOR)) return false;
    }
    const int imageWidth = MulDiv(width, scaled.cx, size.cx);
    list_.Reset(ImageList_Create(imageWidth, scaled.cy, ILC_COLOR24 | ILC_MASK, count, grow));
    if (!list_) return false;
    if (ImageList_AddMasked(list_.Get(), shown.Empty() ? strip.Get() : shown.Get(), mask) < 0) {
        Reset();
        return false;
    }
    return true;
}

}  // namespace fw
