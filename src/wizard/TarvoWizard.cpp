#include "wizard/TarvoWizard.h"

#include <shellapi.h>

#include "app/AxvekTarvoApp.h"
#include "framework/Resources.h"
#include "resources/ids.h"
#include "wizard/PageBegin.h"
#include "wizard/PageFiles.h"
#include "wizard/PageFinish.h"
#include "wizard/PageOptions.h"
#include "wizard/PageSearch.h"
#include "wizard/PageStds.h"

CTARVOWizard::CTARVOWizard(CAxvekTarvoApp& app) : app_(app) {
    // The pages in the order the user meets them; a new page is one line here.
    pages_.push_back(std::make_unique<CPageBegin>(this, app_));
    pages_.push_back(std::make_unique<CPageFiles>(this, app_));
    pages_.push_back(std::make_unique<CPageOptions>(this, app_));
    pages_.push_back(std::make_unique<CPageStds>(this, app_));
    pages_.push_back(std::make_unique<CPageSearch>(this, app_));
    pages_.push_back(std::make_unique<CPageFinish>(this, app_));
    for (const auto& page : pages_) AddPage(page.get());
    AddHeaderFlags(PSH_WIZARD | PSH_HASHELP);
    icon_ = fw::LoadResIcon(IDI_WIZARD);
    smallIcon_ =
        fw::LoadResIcon(IDI_WIZARD, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
}

CTARVOWizard::~CTARVOWizard() {
    help_.reset();
    if (GetSafeHwnd()) DestroyWindow(GetSafeHwnd());
}

BOOL CTARVOWizard::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    SendMessage(WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_.Get() : icon_.Get()));
    SetTitle(fw::LoadResString(IDS_CAPTION), 0);
    DragAcceptFiles(GetSafeHwnd(), TRUE);
    if (HWND help = GetDlgItem(IDHELP)) ::ShowWindow(help, SW_HIDE);
    CenterOnScreen();
    return TRUE;
}

bool CTARVOWizard::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDCANCEL) {
        if (fw::ShowMessage(fw::LoadResString(IDS_CONFIRM_CANCEL), MB_YESNO | MB_ICONQUESTION,
                            GetSafeHwnd()) == IDYES)
            EndDialog(IDCANCEL);
        return true;
    }
    if (id == IDHELP) {
        ShowHelp();
        return true;
    }
    return CPropertySheet::OnCommand(id, code, control);
}

bool CTARVOWizard::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
        return true;
    }
    return CPropertySheet::PreTranslateMessage(msg);
}

void CTARVOWizard::ShowHelp() {
    // At most one help window. Closing it only hides it; the next Help
    // command makes a fresh one.
    if (help_ && help_->GetSafeHwnd() && help_->IsWindowVisible()) return;
    help_.reset();
    auto help = std::make_unique<CHelpDlg>(app_.OrtxLocation);
    if (help->Create(IDD_HELP, nullptr)) help_ = std::move(help);
}

bool CTARVOWizard::OnDropFiles(HDROP drop) {
    auto* page = dynamic_cast<CWizardPage*>(GetActivePage());
    if (page && page->TakesDroppedFiles() && page->GetSafeHwnd()) {
        ::SendMessageW(page->GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    } else {
        DragFinish(drop);  // nobody takes it: the drop's memory is ours to free
    }
    return true;
}

bool CTARVOWizard::OnPaint() {
    if (!IsIconic(GetSafeHwnd())) return false;
    fw::CPaintDC dc(GetSafeHwnd());
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    const RECT client = GetClientRect();
    DrawIcon(dc.Get(), (client.right - client.left - width + 1) / 2,
             (client.bottom - client.top - height + 1) / 2, icon_.Get());
    return true;
}

void CTARVOWizard::CenterOnScreen() const {
    // The program's main window, and its notices come up centred as well.
    const RECT sheet = GetWindowRect();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(GetSafeHwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const int x = work.left + (work.right - work.left - (sheet.right - sheet.left)) / 2;
    const int y = work.top + (work.bottom - work.top - (sheet.bottom - sheet.top)) / 2;
    SetWindowPos(GetSafeHwnd(), nullptr, x > work.left ? x : work.left, y > work.top ? y : work.top,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON CTARVOWizard::OnQueryDragIcon() {
    return icon_.Get();
}

INT_PTR CTARVOWizard::RunNotice(fw::CDialog& notice) {
    const HWND sheet = GetSafeHwnd();
    const bool disable = sheet && ::IsWindowEnabled(sheet);
    if (disable) ::EnableWindow(sheet, FALSE);
    const INT_PTR result = notice.DoModal();
    if (disable) {
        ::EnableWindow(sheet, TRUE);
        SetForegroundWindow(sheet);
    }
    return result;
}
