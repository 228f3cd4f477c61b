#include "program/AxvekTarvoProgram.h"

#include "framework/PropertySheet.h"
#include "host/Language.h"
#include "wizard/TarvoWizard.h"

CAxvekTarvoProgram::CAxvekTarvoProgram() : CAxvekTarvoApp(Window) {}

BOOL CAxvekTarvoProgram::InitInstance() {
    SetRuntimeLocale();
    ResourceLibraryScope resources;
    if (!ClaimSingleInstance()) return FALSE;
    LoadSettings();
    RecoverInterruptedRun();
    if (RunWizard() == ID_WIZFINISH) RunJob();
    return FALSE;
}

INT_PTR CAxvekTarvoProgram::RunWizard() {
    // The wizard lives only as long as it runs: its help window must not stay
    // open over the run that follows.
    CTARVOWizard wizard(*this);
    return wizard.DoModal();
}
