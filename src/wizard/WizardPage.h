// What every page of the wizard shares: the back pointer to its sheet (for
// the buttons and for ending the wizard) and the answer to whether files
// dropped on the sheet are for it.
#pragma once

#include <windows.h>

#include "framework/PropertySheet.h"

class CTARVOWizard;

class CWizardPage : public fw::CPropertyPage {
  public:
    // The template's own caption; the sheet is not owned.
    CWizardPage(UINT templateId, CTARVOWizard* sheet) : CPropertyPage(templateId), sheet_(sheet) {}

    // True for the page that takes the drawings dropped on the sheet while it
    // is active.
    virtual bool TakesDroppedFiles() const { return false; }

  protected:
    CTARVOWizard* Sheet() const { return sheet_; }
    // Posts the PSWIZB_ flags to the sheet, then activates as the base does.
    BOOL SetActiveWithButtons(DWORD buttons);

  private:
    CTARVOWizard* sheet_;
};
