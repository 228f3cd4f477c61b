// The program's application object: the application object with its run
// monitor window, and the program's fixed sequence of modal steps.
#pragma once

#include <windows.h>

#include "app/AxvekTarvoApp.h"
#include "wizard/ProgressDlg.h"

// Holds the monitor window, so that it is made before the application object
// that drives it and goes after it.
struct RunMonitorWindow {
    CProgressDlg Window;
};

class CAxvekTarvoProgram : private RunMonitorWindow, public CAxvekTarvoApp {
  public:
    CAxvekTarvoProgram();

    // The locale and the resource library, the single-instance check, the
    // settings, an interrupted run's bookkeeping, the wizard, then the job.
    // Always FALSE: the process goes on to ExitInstance.
    BOOL InitInstance() override;

    // The wizard step of InitInstance: its result, ID_WIZFINISH to go on.
    INT_PTR RunWizard();

    CProgressDlg& MonitorWindow() { return Window; }
};
