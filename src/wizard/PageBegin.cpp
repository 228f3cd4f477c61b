#include "wizard/PageBegin.h"

#include "app/AxvekTarvoApp.h"
#include "framework/DataExchange.h"
#include "host/HostKeys.h"
#include "resources/ids.h"
#include "wizard/Notices.h"
#include "wizard/TarvoWizard.h"

CPageBegin::CPageBegin(CTARVOWizard* sheet) : CWizardPage(IDD_PAGE_BEGIN, sheet) {}

void CPageBegin::DoDataExchange(fw::CDataExchange& dx) {
    fw::DDX_Control(dx, IDC_BEGIN_PICTURE, picture_);
    fw::DDX_Control(dx, IDC_BEGIN_EMBLEM, emblem_);
    fw::DDX_Control(dx, IDC_BEGIN_ICON, icon_);
    fw::DDX_Control(dx, IDC_BEGIN_HEADING, heading_);
}

BOOL CPageBegin::OnInitDialog() {
    CWizardPage::OnInitDialog();
    icon_.SetIcon(LoadIconW(nullptr, IDI_EXCLAMATION));
    heading_.SetBold(true);
    return TRUE;
}

BOOL CPageBegin::OnSetActive() {
    return SetActiveWithButtons(PSWIZB_NEXT);
}

LRESULT CPageBegin::OnWizardNext() {
    // Only the profile key's existence counts; it is not created here.
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ProfileKeyPath().c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        CRunVekDlg missing;
        Sheet()->RunNotice(missing);
        Sheet()->EndDialog(IDCANCEL);
        return -1;
    }
    RegCloseKey(opened);

    // A notice that could not be shown was not accepted either.
    CSafetyDlg safety;
    if (Sheet()->RunNotice(safety) != IDOK) {
        Sheet()->EndDialog(IDCANCEL);
        return -1;
    }
    AxvekApp().PrepareHostProfile(1);  // saves only on the first request of a run
    return CWizardPage::OnWizardNext();
}
