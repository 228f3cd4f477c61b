// The Options page: the host-extension flags (set-up drawing, purge and its
// categories), the set-up drawing itself and the time allowed per drawing.
// Every exchange goes straight to the application object.
#pragma once

#include <windows.h>

#include "wizard/WizardPage.h"

class CPageOptions : public CWizardPage {
  public:
    CPageOptions(CTARVOWizard* sheet, CAxvekTarvoApp& app);

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    void ApplyEnabledStates() const;
    void WidenPurgeBox() const;
    void BrowseSetupDrawing();

    int timeout_ = 120;
};
