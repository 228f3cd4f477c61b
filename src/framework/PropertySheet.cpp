#include "framework/PropertySheet.h"

#include "framework/Resources.h"

namespace fw {

namespace {
// The sheet whose PropertySheetW call is running: the creation callback has
// no parameter of its own to find it by.
thread_local CPropertySheet* t_creating = nullptr;
}  // namespace

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId)
    : CDialog(templateId), captionId_(captionId) {}

bool CPropertyPage::PreTranslateMessage(MSG*) {
    return false;
}

BOOL CPropertyPage::OnSetActive() {
    if (activatedBefore_) UpdateData(false);
    activatedBefore_ = true;
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(true) ? TRUE : FALSE;
}

LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}

LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}

BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

BOOL CPropertyPage::OnApply() {
    return TRUE;
}

void CPropertyPage::OnReset() {}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

bool CPropertyPage::OnNotify(NMHDR* header, LRESULT& result) {
    // Only the sheet's own notifications; the page's controls send theirs
    // from their own windows.
    if (!hwnd_ || header->hwndFrom != GetParent(hwnd_)) return false;
    switch (header->code) {
        case PSN_SETACTIVE:
            result = OnSetActive() ? 0 : -1;
            return true;
        case PSN_KILLACTIVE:
            result = OnKillActive() ? FALSE : TRUE;
            return true;
        case PSN_WIZNEXT:
            result = OnWizardNext();
            return true;
        case PSN_WIZBACK:
            result = OnWizardBack();
            return true;
        case PSN_WIZFINISH: {
            const bool finish = OnWizardFinish() != FALSE;
            if (finish && sheet_) sheet_->finished_ = true;
            result = finish ? FALSE : TRUE;
            return true;
        }
        case PSN_QUERYCANCEL:
            result = OnQueryCancel() ? FALSE : TRUE;
            return true;
        case PSN_APPLY: {
            const bool ok = OnApply() != FALSE;
            if (ok && sheet_ && reinterpret_cast<PSHNOTIFY*>(header)->lParam)
                sheet_->applied_ = true;
            result = ok ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
            return true;
        }
        case PSN_RESET:
            OnReset();
            result = 0;
            return true;
        default:
            return false;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    // A page's WM_INITDIALOG brings its PROPSHEETPAGE, whose lParam is the
    // object; from there on it is the one dialog procedure.
    if (msg == WM_INITDIALOG) lp = lp ? reinterpret_cast<const PROPSHEETPAGEW*>(lp)->lParam : 0;
    return DialogProc(window, msg, wp, lp);
}

CPropertySheet::CPropertySheet(HWND parent) : parent_(parent) {}

CPropertySheet::~CPropertySheet() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page) return;
    page->sheet_ = this;
    pages_.push_back(page);
}

INT_PTR CPropertySheet::DoModal() {
    if (hwnd_ || running_ || pages_.empty()) return -1;
    const HINSTANCE resources = ResourceHandle();
    std::vector<PROPSHEETPAGEW> descriptions(pages_.size());
    for (size_t i = 0; i < pages_.size(); ++i) {
        CPropertyPage* page = pages_[i];
        PROPSHEETPAGEW& d = descriptions[i];
        d.dwSize = sizeof d;
        d.dwFlags = PSP_DEFAULT;
        if (page->captionId_) {
            d.dwFlags |= PSP_USETITLE;
            d.pszTitle = MAKEINTRESOURCEW(page->captionId_);
        }
        if (headerFlags_ & PSH_HASHELP) d.dwFlags |= PSP_HASHELP;
        d.hInstance = resources;  // the template's module: there is no PSP_ flag for it
        d.pszTemplate = MAKEINTRESOURCEW(page->TemplateId());
        d.pfnDlgProc = &CPropertyPage::PageProc;
        d.lParam = reinterpret_cast<LPARAM>(page);
        page->activatedBefore_ = false;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = headerFlags_ | PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    header.hwndParent = parent_;
    header.hInstance = resources;
    header.pszCaption = title_.c_str();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.ppsp = descriptions.data();
    header.pfnCallback = &CPropertySheet::SheetCallback;

    ended_ = finished_ = applied_ = false;
    endResult_ = IDCANCEL;
    t_creating = this;
    const INT_PTR created = PropertySheetW(&header);
    t_creating = nullptr;
    const HWND sheet = reinterpret_cast<HWND>(created);
    if (created == 0 || created == -1 || !IsWindow(sheet)) return -1;
    if (!hwnd_) SubclassWindow(sheet);

    // Modal towards the owner, as a dialog box would be.
    const bool disableOwner = parent_ && ::IsWindowEnabled(parent_);
    if (disableOwner) ::EnableWindow(parent_, FALSE);
    running_ = true;
    RunLoop();
    running_ = false;
    const INT_PTR result = ended_      ? endResult_
                           : finished_ ? ID_WIZFINISH
                           : applied_  ? IDOK
                                       : IDCANCEL;
    if (disableOwner) ::EnableWindow(parent_, TRUE);
    if (hwnd_) DestroyWindow(hwnd_);
    return result;
}

void CPropertySheet::RunLoop() {
    // A modeless sheet is over when it has no current page any more (Finish,
    // OK or a confirmed Cancel), or when EndDialog was called.
    while (!ended_ && hwnd_ && PropSheet_GetCurrentPageHwnd(hwnd_)) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside ours
            break;
        }
        if (!WalkPreTranslateTree(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void CPropertySheet::EndDialog(int result) {
    endResult_ = result;
    ended_ = true;
    if (hwnd_) PostMessage(WM_NULL);  // wakes the loop when called from outside a message
}

void CPropertySheet::SetTitle(const std::wstring& title, UINT style) {
    title_ = title;
    if (hwnd_) PropSheet_SetTitle(hwnd_, style, title_.c_str());
}

void CPropertySheet::SetWizardButtons(DWORD flags) const {
    if (hwnd_) ::PostMessageW(hwnd_, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

void CPropertySheet::PressButton(int button) const {
    if (hwnd_) ::PostMessageW(hwnd_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

bool CPropertySheet::SetActivePage(int index) const {
    return hwnd_ && PropSheet_SetCurSel(hwnd_, nullptr, index) != FALSE;
}

int CPropertySheet::GetActiveIndex() const {
    if (!hwnd_) return -1;
    HWND page = PropSheet_GetCurrentPageHwnd(hwnd_);
    return page ? static_cast<int>(PropSheet_HwndToIndex(hwnd_, page)) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    if (!hwnd_) return nullptr;
    HWND page = PropSheet_GetCurrentPageHwnd(hwnd_);
    for (CPropertyPage* p : pages_)
        if (page && p->GetSafeHwnd() == page) return p;
    return nullptr;
}

bool CPropertySheet::PreTranslateMessage(MSG* msg) {
    return hwnd_ && PropSheet_IsDialogMessage(hwnd_, msg) != FALSE;
}

BOOL CPropertySheet::OnInitDialog() {
    return TRUE;
}

bool CPropertySheet::WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_CLOSE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        result = 0;
        return true;
    }
    return CWnd::WindowProc(msg, wp, lp, result);
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT msg, LPARAM) {
    CPropertySheet* sheet = t_creating;
    if (msg != PSCB_INITIALIZED || !sheet || sheet->hwnd_) return 0;
    if (sheet->SubclassWindow(window)) {
        try {
            sheet->OnInitDialog();
        } catch (...) {
        }
    }
    return 0;
}

}  // namespace fw
