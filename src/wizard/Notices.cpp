#include "wizard/Notices.h"

#include "framework/DataExchange.h"
#include "resources/ids.h"

CRunVekDlg::CRunVekDlg(HWND parent) : CDialog(IDD_RUN_VEK, parent) {}

void CRunVekDlg::DoDataExchange(fw::CDataExchange& dx) {
    fw::DDX_Control(dx, IDC_RUN_VEK_ICON, icon_);
}

BOOL CRunVekDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    icon_.SetIcon(LoadIconW(nullptr, IDI_HAND));
    return TRUE;
}

CSafetyDlg::CSafetyDlg(HWND parent) : CDialog(IDD_SAFETY_NOTICE, parent) {}

void CSafetyDlg::DoDataExchange(fw::CDataExchange& dx) {
    fw::DDX_Control(dx, IDC_SAFETY_ICON, icon_);
}

BOOL CSafetyDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    icon_.SetIcon(LoadIconW(nullptr, IDI_EXCLAMATION));
    return TRUE;
}
