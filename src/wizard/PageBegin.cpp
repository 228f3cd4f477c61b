#include "wizard/PageBegin.h"

#include "app/AxvekTarvoApp.h"
#include "framework/DataExchange.h"
#include "framework/Handle.h"
#include "host/HostKeys.h"
#include "resources/ids.h"
#include "wizard/Notices.h"
#include "wizard/TarvoWizard.h"

namespace {

// Only the key's existence counts: it is opened to look, never created.
bool ProfileKeyExists() {
    HKEY opened = nullptr;
    const bool found = RegOpenKeyExW(HKEY_CURRENT_USER, ProfileKeyPath().c_str(), 0,
                                     KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS;
    const fw::UniqueKey key(found ? opened : nullptr);
    return found;
}

}  // namespace

CPageBegin::CPageBegin(CTARVOWizard* sheet, CAxvekTarvoApp& app)
    : CWizardPage(IDD_PAGE_BEGIN, sheet, app,
                  {IDC_BEGIN_PICTURE, IDC_BEGIN_EMBLEM, IDC_BEGIN_HEADING}) {}

void CPageBegin::DoDataExchange(fw::CDataExchange& dx) {
    CWizardPage::DoDataExchange(dx);
    fw::DDX_Control(dx, IDC_BEGIN_ICON, icon_);
}

BOOL CPageBegin::OnInitDialog() {
    CWizardPage::OnInitDialog();
    icon_.SetIcon(LoadIconW(nullptr, IDI_EXCLAMATION));
    return TRUE;
}

BOOL CPageBegin::OnSetActive() {
    return SetActiveWithButtons(PSWIZB_NEXT);
}

LRESULT CPageBegin::OnWizardNext() {
    if (!ProfileKeyExists()) {
        CRunVekDlg missing;
        Sheet()->RunNotice(missing);
        Sheet()->EndDialog(IDCANCEL);
        return -1;
    }

    // A notice that could not be shown was not accepted either.
    CSafetyDlg safety;
    if (Sheet()->RunNotice(safety) != IDOK) {
        Sheet()->EndDialog(IDCANCEL);
        return -1;
    }
    App().PrepareHostProfile(1);  // saves only on the first request of a run
    return CWizardPage::OnWizardNext();
}
