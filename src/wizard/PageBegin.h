// The Begin page: the introduction, and the gate of the whole program. Next
// goes on only when the host's migration profile exists and the user has
// accepted the safety notice; it then has the host profile values saved that
// a run changes.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "wizard/WizardPage.h"

class CPageBegin : public CWizardPage {
  public:
    CPageBegin(CTARVOWizard* sheet, CAxvekTarvoApp& app);

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

  private:
    fw::CStatic icon_;
};
