// A window with a chosen title in a process of its own (windriver's "window"
// step), for tests that find and end other processes' windows. What it prints
// (the key messages it is sent) is kept in a file of its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/WinTest.h"

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
    // The lines it printed so far; WaitForLines waits until there are at
    // least that many.
    std::vector<std::string> Lines() const;
    std::vector<std::string> WaitForLines(size_t count, DWORD milliseconds = 10000) const;

  private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    ScratchDir dir_;
};

}  // namespace testenv
