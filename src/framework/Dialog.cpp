#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/DialogRouting.h"
#include "framework/Resources.h"

namespace fw {

CDialog::CDialog(UINT templateId, HWND parent) : parent_(parent), templateId_(templateId) {}

CDialog::CDialog(std::wstring templateName, HWND parent)
    : parent_(parent), templateName_(std::move(templateName)) {}

CDialog::~CDialog() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

const wchar_t* CDialog::TemplateResource() const {
    return templateName_.empty() ? MAKEINTRESOURCEW(templateId_) : templateName_.c_str();
}

INT_PTR CDialog::DoModal() {
    if (hwnd_) return -1;
    modal_ = true;
    const INT_PTR result = DialogBoxParamW(ResourceHandle(), TemplateResource(), parent_,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool CDialog::Create(HWND parent) {
    if (hwnd_) return false;
    parent_ = parent;
    modal_ = false;
    return CreateDialogParamW(ResourceHandle(), TemplateResource(), parent, &CDialog::DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::Create(UINT templateId, HWND parent) {
    if (hwnd_) return false;
    templateId_ = templateId;
    templateName_.clear();
    return Create(parent);
}

void CDialog::EndDialog(int result) {
    if (!hwnd_) return;
    if (modal_)
        ::EndDialog(hwnd_, result);
    else
        ShowWindow(SW_HIDE);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (!hwnd_) return false;
    CDataExchange dx(hwnd_, saveAndValidate);
    DoDataExchange(dx);
    return dx.Ok();
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    return hwnd_ && !modal_ && IsDialogMessageW(hwnd_, msg);
}

void CDialog::DoDataExchange(CDataExchange&) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;  // menus and accelerators send 0 as well
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

namespace {

// A dialog procedure returns these messages' values itself; every other
// result goes to DWLP_MSGRESULT.
INT_PTR DialogResult(HWND window, UINT msg, LRESULT result) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    CDialog* brought = msg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lp) : nullptr;
    return DialogRouting::Route(
        window, msg, wp, lp, brought, [](CDialog& self) { return self.OnInitDialog(); },
        [window](UINT routed, LRESULT result) { return DialogResult(window, routed, result); });
}

}  // namespace fw
