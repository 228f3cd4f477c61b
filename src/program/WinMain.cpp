// Entry point of the program: hands over to the one application object.
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    fw::CWinApp* app = fw::AfxGetApp();
    return app ? app->Run(instance) : -1;
}
