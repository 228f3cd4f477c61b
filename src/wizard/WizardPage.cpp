#include "wizard/WizardPage.h"

BOOL CWizardPage::SetActiveWithButtons(DWORD buttons) {
    if (fw::CPropertySheet* sheet = GetSheet()) sheet->SetWizardButtons(buttons);
    return CPropertyPage::OnSetActive();
}
