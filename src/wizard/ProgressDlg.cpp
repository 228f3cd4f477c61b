#include "wizard/ProgressDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/RegKey.h"
#include "core/Text.h"
#include "drawings/AxvekFilenm.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

namespace {

constexpr size_t kShownPathLength = 30;

}  // namespace

CProgressDlg::CProgressDlg(HWND parent) : CDialog(IDD_PROGRESS, parent) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

void CProgressDlg::DoDataExchange(fw::CDataExchange& dx) {
    fw::DDX_Control(dx, IDC_PROGRESS_PICTURE, picture_);
    fw::DDX_Control(dx, IDC_PROGRESS_SCAN_LABEL, scanLabel_);
    fw::DDX_Control(dx, IDC_PROGRESS_UPDATE_LABEL, updateLabel_);
    fw::DDX_Control(dx, IDC_PROGRESS_BAR, progress_);
}

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    icon_ = fw::LoadResIcon(IDI_WIZARD);
    smallIcon_ =
        fw::LoadResIcon(IDI_WIZARD, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    ::ShowWindow(GetDlgItem(IDC_PROGRESS_SCAN_MARK), SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_UPDATE_MARK), SW_HIDE);
    progress_.SetRange(runmon::kProgressStart, runmon::kProgressEnd);
    progress_.SetPos(1);
    scanLabel_.SetBold(true);
    MoveToSavedPosition();

    Initialise();
    return TRUE;
}

void CProgressDlg::MoveToSavedPosition() {
    const RegKey settings(SettingsKeyPath(), HKEY_CURRENT_USER);
    DWORD x = 0, y = 0;
    if (!settings.ReadDword(L"X", x) || !settings.ReadDword(L"Y", y)) return;
    // A position saved on a screen that is no longer there is brought back
    // onto the nearest one, whole.
    RECT window = GetWindowRect();
    const int width = window.right - window.left, height = window.bottom - window.top;
    RECT wanted{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + width,
                static_cast<LONG>(y) + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        wanted.left = std::max(work.left, std::min<LONG>(wanted.left, work.right - width));
        wanted.top = std::max(work.top, std::min<LONG>(wanted.top, work.bottom - height));
    }
    SetWindowPos(hwnd_, HWND_TOPMOST, wanted.left, wanted.top, 0, 0, SWP_NOSIZE);
}

void CProgressDlg::SavePosition() {
    // A minimised window has no place of its own to remember.
    if (IsIconic(hwnd_)) return;
    const RECT window = GetWindowRect();
    const RegKey settings(SettingsKeyPath(), HKEY_CURRENT_USER);
    settings.WriteDword(L"X", static_cast<DWORD>(window.left));
    settings.WriteDword(L"Y", static_cast<DWORD>(window.top));
}

void CProgressDlg::OnOK() {
    if (Mode() == runmon::kIdle) {
        SavePosition();
        EndDialog(IDOK);
    } else if (side_) {
        side_->OpenLog();
    }
}

void CProgressDlg::OnCancel() {
    if (PollTimerRuns()) return;
    SavePosition();
    EndDialog(IDCANCEL);
}

bool CProgressDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PROGRESS_STOP && code == BN_CLICKED) {
        OnStop();
        return true;
    }
    if (id == IDC_PROGRESS_RESUME && code == BN_CLICKED) {
        OnResume();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

bool CProgressDlg::OnTimer(UINT_PTR id) {
    if (id == kPollTimer) {
        OnPollTick();
        return true;
    }
    if (id == kLogTimer) {
        OnLogTick();
        return true;
    }
    return false;
}

bool CProgressDlg::OnPaint() {
    if (!IsIconic(hwnd_)) return false;
    fw::PaintIconCentred(hwnd_, icon_.Get());
    return true;
}

HICON CProgressDlg::OnQueryDragIcon() {
    return icon_.Get();
}

bool CProgressDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // The timers belong to this window; none outlives it.
    if (msg == WM_DESTROY) {
        StopTimer(kPollTimer);
        StopTimer(kLogTimer);
        OnWindowClosed();
    }
    // The session may end: the run is stopped and its record kept, so that
    // the next start finishes it.
    if (msg == WM_QUERYENDSESSION) {
        result = TRUE;
        return true;
    }
    if (msg == WM_ENDSESSION && wp) {
        OnSessionEnd();
        result = 0;
        return true;
    }
    return CDialog::WindowProc(msg, wp, lp, result);
}

void CProgressDlg::ShowCounts(int count, int current) {
    SetDlgItemText(IDC_PROGRESS_COUNT, text::Decimal(count));
    ShowCurrentNumber(current);
}

void CProgressDlg::ShowCurrentNumber(int current) {
    SetDlgItemText(IDC_PROGRESS_NUMBER, text::Decimal(current));
}

void CProgressDlg::ShowDrawing(const std::wstring& path) {
    SetDlgItemText(IDC_PROGRESS_DRAWING, AxvekFilenm(path).Shortened(kShownPathLength));
}

void CProgressDlg::ShowProgress(int position) {
    progress_.SetPos(position);
}

void CProgressDlg::ShowScanEnded() {
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_SCAN_MARK), SW_SHOW);
}

void CProgressDlg::ShowUpdateEnded() {
    // Analysing alone has no update phase to mark.
    if (!(GetWindowLongW(GetDlgItem(IDC_PROGRESS_UPDATE_LABEL), GWL_STYLE) & WS_VISIBLE)) return;
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_UPDATE_MARK), SW_SHOW);
}

void CProgressDlg::ShowMode(int mode) {
    scanLabel_.SetBold(mode == runmon::kScanThenUpdate || mode == runmon::kScanOnly);
    updateLabel_.SetBold(mode == runmon::kUpdate);
    if (mode == runmon::kScanOnly) {
        scanLabel_.SetWindowText(fw::LoadResString(IDS_ANALYSE_LABEL));
        scanLabel_.Invalidate();
        updateLabel_.ShowWindow(SW_HIDE);
        SetDlgItemText(IDC_PROGRESS_STATUS, fw::LoadResString(IDS_ANALYSE_STATUS));
    }
}

void CProgressDlg::ShowStatus(const std::wstring& text) {
    SetDlgItemText(IDC_PROGRESS_STATUS, text);
}

void CProgressDlg::MakeDefault(int id) {
    const int other = id == IDOK ? IDC_PROGRESS_STOP : IDOK;
    SendDlgItemMessageW(hwnd_, other, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendDlgItemMessageW(hwnd_, id, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SendMessage(DM_SETDEFID, static_cast<WPARAM>(id));
}

void CProgressDlg::ShowRunning() {
    ::EnableWindow(GetDlgItem(IDC_PROGRESS_STOP), TRUE);
    MakeDefault(IDC_PROGRESS_STOP);
    // The focus moves on before its button is disabled, so the keyboard
    // keeps working.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_PROGRESS_STOP)), TRUE);
    ::EnableWindow(GetDlgItem(IDOK), FALSE);
    ::EnableWindow(GetDlgItem(IDC_PROGRESS_RESUME), FALSE);
}

void CProgressDlg::ShowIdle(bool canResume) {
    ::EnableWindow(GetDlgItem(IDOK), TRUE);
    MakeDefault(IDOK);
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDOK)), TRUE);
    ::EnableWindow(GetDlgItem(IDC_PROGRESS_STOP), FALSE);
    ::EnableWindow(GetDlgItem(IDC_PROGRESS_RESUME), canResume ? TRUE : FALSE);
}

void CProgressDlg::StartTimer(UINT_PTR id, UINT milliseconds) {
    SetTimer(id, milliseconds);
}

void CProgressDlg::StopTimer(UINT_PTR id) {
    KillTimer(id);
}

bool CProgressDlg::AskStop() {
    return fw::ShowMessage(fw::LoadResString(IDS_STOP_QUESTION), MB_YESNO | MB_ICONQUESTION,
                           hwnd_) == IDYES;
}

void CProgressDlg::WarnHostWindowOpen() {
    fw::ShowMessage(fw::LoadResString(IDS_RESUME_HOST_OPEN), MB_ICONWARNING);
}
