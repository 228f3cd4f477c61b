// Acts on a window of this process from a thread of its own, the way a user
// would while the test's thread sits in the window's modal loop: waits for a
// visible top-level window (by exact title, or any dialog when the title is
// empty), then runs the action on it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace testenv {

class WindowActor {
  public:
    WindowActor(std::wstring title, std::function<void(HWND)> action, DWORD timeoutMs = 15000);
    ~WindowActor();
    // Waits for the action to be done; true when the window was seen.
    bool Done();

  private:
    std::wstring title_;
    std::function<void(HWND)> action_;
    DWORD timeoutMs_;
    bool seen_ = false;
    std::thread thread_;
};

// The window that has the keyboard focus in the thread owning the window.
HWND FocusOf(HWND window);

}  // namespace testenv
