#include "framework/DataExchange.h"

#include "core/Text.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"
#include "framework/FrameworkIds.h"

namespace fw {

namespace {
bool IsEdit(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 15);
    return lstrcmpiW(name, L"Edit") == 0;
}
}  // namespace

void CDataExchange::Fail(int id) {
    failed_ = true;
    HWND control = Control(id);
    if (!control) return;
    // WM_NEXTDLGCTL moves the focus the dialog manager's way (default button
    // and all), which SetFocus alone would not.
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (IsEdit(control)) SendMessageW(control, EM_SETSEL, 0, -1);
}

bool DDX_Control(CDataExchange& dx, int id, CWnd& control) {
    if (dx.Ok() && !control.GetSafeHwnd()) control.SubclassDlgItem(id, dx.Dialog());
    return dx.Ok();
}

bool DDX_Check(CDataExchange& dx, int id, int& state) {
    if (!dx.Ok()) return false;
    HWND box = dx.Control(id);
    if (!box) return true;
    if (dx.Saving())
        state = static_cast<int>(SendMessageW(box, BM_GETCHECK, 0, 0));
    else
        SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    return true;
}

bool DDX_CheckBit(CDataExchange& dx, int id, DWORD& flags, DWORD bit) {
    int state = (flags & bit) ? BST_CHECKED : BST_UNCHECKED;
    if (!DDX_Check(dx, id, state)) return false;
    if (dx.Saving()) flags = state == BST_CHECKED ? (flags | bit) : (flags & ~bit);
    return true;
}

bool DDX_Text(CDataExchange& dx, int id, std::wstring& value) {
    if (!dx.Ok()) return false;
    HWND edit = dx.Control(id);
    if (!edit) return true;
    if (dx.Saving())
        value = WindowText(edit);
    else
        SetWindowTextW(edit, value.c_str());
    return true;
}

bool DDX_Text(CDataExchange& dx, int id, int& value, int minimum, int maximum) {
    if (!dx.Ok()) return false;
    HWND edit = dx.Control(id);
    if (!edit) return true;
    if (!dx.Saving()) {
        SetWindowTextW(edit, text::Decimal(value).c_str());
        return true;
    }
    int entered = 0;
    if (text::ParseInt(WindowText(edit), entered) && entered >= minimum && entered <= maximum) {
        value = entered;
        return true;
    }
    ShowMessage(FormatResString(IDS_DDX_INT_RANGE, {minimum, maximum}), MB_OK | MB_ICONEXCLAMATION,
                GetAncestor(dx.Dialog(), GA_ROOT));
    dx.Fail(id);
    return false;
}

}  // namespace fw
