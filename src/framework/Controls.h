// Control objects attached to template controls by id (DDX_Control), each a
// thin set of one-line calls over the control's messages: only what the
// dialogs and pages use. The windows belong to their dialog; an image list
// is the one thing here that owns what it holds.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/Handle.h"
#include "framework/Wnd.h"

namespace fw {

class CStatic : public CWnd {
  public:
    HICON SetIcon(HICON icon) const {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CButton : public CWnd {
  public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT GetButtonStyle() const {
        return static_cast<UINT>(GetWindowLongPtrW(hwnd_, GWL_STYLE)) & 0xFFFF;
    }
    void SetButtonStyle(UINT style, bool redraw = true) const {
        SendMessage(BM_SETSTYLE, style, redraw);
    }
};

class CEdit : public CWnd {
  public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, start, end); }
    void SetReadOnly(bool readOnly) const { SendMessage(EM_SETREADONLY, readOnly); }
    void LimitText(int characters) const { SendMessage(EM_LIMITTEXT, characters); }
    void ScrollCaret() const { SendMessage(EM_SCROLLCARET); }
};

class CComboBox : public CWnd {
  public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    int AddString(const std::wstring& text) const {
        return static_cast<int>(
            SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    std::wstring GetLBText(int index) const;
    LPARAM GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, index); }
    void SetItemData(int index, LPARAM data) const { SendMessage(CB_SETITEMDATA, index, data); }
};

class CProgressCtrl : public CWnd {
  public:
    void SetRange(int lower, int upper) const { SendMessage(PBM_SETRANGE32, lower, upper); }
    int SetPos(int position) const { return static_cast<int>(SendMessage(PBM_SETPOS, position)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CListCtrl : public CWnd {
  public:
    int GetItemCount() const { return ListView_GetItemCount(hwnd_); }
    UINT GetSelectedCount() const { return ListView_GetSelectedCount(hwnd_); }
    // The next item after start (-1: from the first) with the LVNI_ flags.
    int GetNextItem(int start, UINT flags) const {
        return ListView_GetNextItem(hwnd_, start, flags);
    }
    DWORD SetExtendedStyle(DWORD style) const {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    // Heading, LVCFMT_ format and width in pixels; returns the column's index or -1.
    int InsertColumn(int column, const std::wstring& heading, int format, int width) const;
    // An item with its first column's text and its data; returns its index or -1.
    int InsertItem(int index, const std::wstring& text, LPARAM data) const;
    bool SetItemText(int item, int subItem, const std::wstring& text) const;
    // The text is asked of the parent (LVN_GETDISPINFO) each time it is needed.
    bool SetItemTextCallback(int item, int subItem) const;
    std::wstring GetItemText(int item, int subItem) const;
    LPARAM GetItemData(int item) const;
    bool SetItemData(int item, LPARAM data) const;
    UINT GetItemState(int item, UINT mask) const {
        return ListView_GetItemState(hwnd_, item, mask);
    }
    void SetItemState(int item, UINT state, UINT mask) const {
        ListView_SetItemState(hwnd_, item, state, mask);
    }
    bool DeleteItem(int item) const { return ListView_DeleteItem(hwnd_, item) != FALSE; }
    bool DeleteAllItems() const { return ListView_DeleteAllItems(hwnd_) != FALSE; }
    bool SortItems(PFNLVCOMPARE compare, LPARAM data) const {
        return ListView_SortItems(hwnd_, compare, data) != FALSE;
    }
    bool EnsureVisible(int item) const {
        return ListView_EnsureVisible(hwnd_, item, FALSE) != FALSE;
    }
    // Reserves room for that many items before a large insertion.
    void SetItemCount(int count) const { ListView_SetItemCount(hwnd_, count); }
    void SetRedraw(bool redraw) const { SendMessage(WM_SETREDRAW, redraw); }
};

class CTreeCtrl : public CWnd {
  public:
    HTREEITEM InsertItem(const std::wstring& text, int image, int selectedImage,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) const;
    HIMAGELIST SetImageList(HIMAGELIST list, int kind = TVSIL_NORMAL) const {
        return TreeView_SetImageList(hwnd_, list, kind);
    }
    std::wstring GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const std::wstring& text) const;
    LPARAM GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, LPARAM data) const;
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    HTREEITEM GetRootItem() const { return TreeView_GetRoot(hwnd_); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return TreeView_GetParent(hwnd_, item); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return TreeView_GetChild(hwnd_, item); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const {
        return TreeView_GetNextSibling(hwnd_, item);
    }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const {
        return TreeView_GetPrevSibling(hwnd_, item);
    }
    HTREEITEM GetSelectedItem() const { return TreeView_GetSelection(hwnd_); }
    bool SelectItem(HTREEITEM item) const { return TreeView_SelectItem(hwnd_, item) != FALSE; }
    bool DeleteItem(HTREEITEM item) const { return TreeView_DeleteItem(hwnd_, item) != FALSE; }
    bool DeleteAllItems() const { return TreeView_DeleteAllItems(hwnd_) != FALSE; }
    bool EnsureVisible(HTREEITEM item) const {
        return TreeView_EnsureVisible(hwnd_, item) != FALSE;
    }
    HWND EditLabel(HTREEITEM item) const { return TreeView_EditLabel(hwnd_, item); }
    HWND GetEditControl() const { return TreeView_GetEditControl(hwnd_); }
    UINT GetCount() const { return TreeView_GetCount(hwnd_); }
};

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static bool IsValid(HIMAGELIST h) { return h != nullptr; }
    static bool Close(HIMAGELIST h) { return ImageList_Destroy(h) != FALSE; }
};
using UniqueImageList = UniqueResource<HIMAGELIST, ImageListTraits>;

// An image list of our own, destroyed with the object (controls that show it
// do not take it over).
class CImageList {
  public:
    // ImageList_Create: image size, ILC_ flags, initial size, growth.
    bool Create(int width, int height, UINT flags, int initial, int grow);
    // A strip of images from a bitmap of the resource library, each width
    // pixels wide at 96 pixels per inch and grown with a larger screen, with
    // the colour that becomes transparent.
    bool LoadBitmap(UINT id, int width, int grow, COLORREF mask);
    int Add(HICON icon) const { return list_ ? ImageList_AddIcon(list_.Get(), icon) : -1; }
    int GetImageCount() const { return list_ ? ImageList_GetImageCount(list_.Get()) : 0; }

    HIMAGELIST Get() const { return list_.Get(); }
    HIMAGELIST Detach() { return list_.Detach(); }
    void Reset() { list_.Reset(); }

  private:
    UniqueImageList list_;
};

}  // namespace fw
