// A window with a chosen title in a process of its own (windriver's "window"
// step), for tests that find and end other processes' windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testenv {

class ProcessWindow {
  public:
    // Starts the process and waits until its window is visible.
    explicit ProcessWindow(const std::wstring& title,
                           const std::vector<std::wstring>& children = {});
    ~ProcessWindow();  // terminates the process if it still runs

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return processId_; }
    // Waits for the process to end; true when it did within the time.
    bool WaitForExit(DWORD milliseconds);

  private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

}  // namespace testenv
