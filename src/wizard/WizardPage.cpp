#include "wizard/WizardPage.h"

#include "framework/DataExchange.h"

void CWizardPage::DoDataExchange(fw::CDataExchange& dx) {
    if (look_.Picture) fw::DDX_Control(dx, look_.Picture, picture_);
    if (look_.Emblem) fw::DDX_Control(dx, look_.Emblem, emblem_);
    if (look_.Heading) fw::DDX_Control(dx, look_.Heading, heading_);
}

BOOL CWizardPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (look_.Heading) heading_.SetBold(true);
    return TRUE;
}

BOOL CWizardPage::SetActiveWithButtons(DWORD buttons) {
    if (fw::CPropertySheet* sheet = GetSheet()) sheet->SetWizardButtons(buttons);
    return CPropertyPage::OnSetActive();
}
