// Drives windows of this process from a thread of its own while the test's
// thread sits in their modal loops (the wizard's, a notice's, a message
// box's): the script waits for a window, presses its buttons and reads its
// controls, one step after the other, as a user does. When a step's window
// does not come, the script stops and every window it left open is ended, so
// that the test fails instead of hanging.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace testenv {

class WizardDriver {
  public:
    // end: called on the driver's thread to end the sheet when the script
    // fails (e.g. a lambda calling the sheet's EndDialog).
    WizardDriver(std::function<void(WizardDriver&)> script, std::function<void()> end);
    ~WizardDriver();
    // Waits for the script to finish; true when every step ran.
    bool Finished();

    // A visible top-level window of this process with the title and, when
    // childId is not 0, a child (at any depth) with that id. Stops the script
    // when none comes in time.
    HWND Wait(const std::wstring& title, int childId = 0, DWORD timeoutMs = 15000);
    // Waits until the window is hidden or gone.
    void WaitGone(HWND window, DWORD timeoutMs = 15000);
    // Waits until the condition holds; stops the script when it never does.
    void WaitUntil(const std::function<bool()>& condition, const char* what,
                   DWORD timeoutMs = 15000);

    static HWND Child(HWND window, int id);  // at any depth, or nullptr
    // Posts a click to the child button (BM_CLICK).
    static void Click(HWND window, int id);
    static int Checked(HWND window, int id);  // BM_GETCHECK
    static std::wstring Text(HWND window, int id = 0);
    // The sheet's wizard buttons: PSBTN_NEXT, PSBTN_BACK, PSBTN_FINISH, ...
    static void Press(HWND sheet, int button);

  private:
    struct Stopped : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    void EndEverything();

    std::function<void()> end_;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace testenv
