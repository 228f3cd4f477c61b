// Finding the host's main window by its title, and ending the process behind
// a window with a logged reason.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/LogSink.h"

enum TerminationReason {
    kTerminateTimeout = 0,        // the drawing ran out of its time budget
    kTerminateWatchedWindow = 1,  // a known dialog nobody can answer
    kTerminateUser = 2,           // the user stopped the run
    kTerminateHostLogError = 3,   // the host's log reports an error
};

// The first top-level window whose title is one of the host titles, or begins
// with one followed by " - [" (ignoring case); nullptr when there is none.
HWND FindHostWindow();
HWND FindHostWindow(std::wstring& title);

// Logs the reason as detail lines, terminates the process that owns the
// window and removes the host's log. False when the process cannot be opened
// (nothing is logged then) or the termination failed. A timeout's lines name
// the budget of timeoutMinutes.
bool TerminateWindowProcess(HWND window, const std::wstring& title, int reason, LogSink& log,
                            int timeoutMinutes = 0);

// FindHostWindow, then TerminateWindowProcess; false when no host window is open.
bool TerminateHost(int reason, LogSink& log, int timeoutMinutes = 0);

// The texts of a window's child windows, in enumeration order, empty ones
// left out. Each is asked for with a time limit, so a hung window cannot
// block the program.
std::vector<std::wstring> ChildWindowTexts(HWND window);
