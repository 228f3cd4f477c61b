#include "wizard/PageFinish.h"

#include "app/AxvekTarvoApp.h"
#include "drawings/AxvekFilenm.h"
#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Resources.h"
#include "host/HostWindow.h"
#include "resources/ids.h"
#include "wizard/TarvoWizard.h"

namespace {

constexpr size_t kShownPathLength = 40;
constexpr DWORD kLogDialogFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;

int StateOf(DWORD flags, DWORD bit) {
    return (flags & bit) ? BST_CHECKED : BST_UNCHECKED;
}

DWORD BitOf(int state, DWORD bit) {
    return state == BST_CHECKED ? bit : 0;
}

}  // namespace

CPageFinish::CPageFinish(CTARVOWizard* sheet, CAxvekTarvoApp& app)
    : CWizardPage(IDD_PAGE_FINISH, sheet, app,
                  {IDC_FINISH_PICTURE, IDC_FINISH_EMBLEM, IDC_FINISH_HEADING}) {}

void CPageFinish::DoDataExchange(fw::CDataExchange& dx) {
    CWizardPage::DoDataExchange(dx);
    fw::DDX_Check(dx, IDC_LOG_WARNINGS, logWarnings_);
    fw::DDX_Check(dx, IDC_LOG_SKIPPED, logSkipped_);
    fw::DDX_Check(dx, IDC_LOG_STEPS, logSteps_);
    fw::DDX_Check(dx, IDC_LOG_DEBUG, logDebug_);
    if (dx.Saving()) {
        // Bits this page does not show are cleared.
        App().LogFlags = BitOf(logSteps_, 0x1) | BitOf(logWarnings_, 0x2) |
                         BitOf(logSkipped_, 0x4) | BitOf(logDebug_, 0x8);
    }
}

BOOL CPageFinish::OnInitDialog() {
    const DWORD flags = App().LogFlags;
    logSteps_ = StateOf(flags, 0x1);
    logWarnings_ = StateOf(flags, 0x2);
    logSkipped_ = StateOf(flags, 0x4);
    logDebug_ = BST_UNCHECKED;
    if (HWND debug = GetDlgItem(IDC_LOG_DEBUG)) ::ShowWindow(debug, SW_HIDE);
    CWizardPage::OnInitDialog();
    ShowLogPath();
    return TRUE;
}

BOOL CPageFinish::OnSetActive() {
    return SetActiveWithButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

BOOL CPageFinish::OnWizardFinish() {
    if (FindHostWindow()) {
        // Without owner, as the page's other notices; task-modal so that the
        // wizard cannot be finished again while the message shows.
        fw::ShowMessage(fw::LoadResString(IDS_HOST_RUNNING), MB_ICONWARNING | MB_TASKMODAL);
        return FALSE;
    }
    if (!UpdateData(true)) return FALSE;
    return CWizardPage::OnWizardFinish();
}

bool CPageFinish::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_LOG_CHOOSE && code == BN_CLICKED) {
        ChooseLogFile();
        return true;
    }
    return CWizardPage::OnCommand(id, code, control);
}

void CPageFinish::ChooseLogFile() {
    const AxvekFilenm current(Logfile);
    fw::CFileDialog dialog(false, fw::LoadResString(IDS_LOG_DIALOG_EXTENSION), current.BaseName,
                           kLogDialogFlags, fw::LoadResString(IDS_LOG_DIALOG_FILTER), hwnd_);
    dialog.SetTitle(fw::LoadResString(IDS_LOG_DIALOG_TITLE));
    // The dialog opens where the log is now.
    const std::wstring folder = current.Drive + current.Directory;
    if (!folder.empty()) dialog.Ofn().lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() != IDOK) return;
    const std::wstring chosen = dialog.GetPathName();
    if (chosen.empty()) return;
    Logfile = chosen;
    ShowLogPath();
}

void CPageFinish::ShowLogPath() {
    SetDlgItemText(IDC_LOG_PATH, AxvekFilenm(Logfile).Shortened(kShownPathLength));
}
