// The Finish page: what the migration log records (LogFlags) and where it is
// kept (Logfile); Finish is refused while the host is running, because the
// migration starts the host itself.
#pragma once

#include <windows.h>

#include "wizard/WizardPage.h"

class CPageFinish : public CWizardPage {
  public:
    CPageFinish(CTARVOWizard* sheet, CAxvekTarvoApp& app);

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    // The save dialog for the log file; Logfile changes only when it is confirmed.
    void ChooseLogFile();
    void ShowLogPath();

    // Check states (BST_) of the log bits 0x1, 0x2, 0x4 and the hidden 0x8.
    int logSteps_ = BST_UNCHECKED;
    int logWarnings_ = BST_UNCHECKED;
    int logSkipped_ = BST_UNCHECKED;
    int logDebug_ = BST_UNCHECKED;
};
