// The application object: one per process, constructed as a static object.
// wWinMain (framework/WinMain.cpp) calls InitInstance; when it returns FALSE
// the process goes straight on to ExitInstance, whose result is the exit code.
#pragma once

#include <windows.h>

namespace fw {

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Runs InitInstance, a message loop when it returned TRUE, then ExitInstance.
    int Run(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }

  private:
    HINSTANCE instance_ = nullptr;
    int exitCode_ = 0;
};

// The application object constructed last (there is one in the program).
CWinApp* AfxGetApp();

}  // namespace fw
