// The run's host window watcher: at every poll tick the run monitor hands it
// each top-level window. Known harmless dialogs of the host are answered with
// a key or a short key sequence, the process behind any other known dialog is
// ended, since nobody sits in front of the host during a run. What it does
// goes to the migration log as detail lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handle.h"
#include "host/LogSink.h"

// Posts a key as the keyboard delivers it: key-down, character, key-up.
void PostKeyToWindow(HWND window, UINT key);

class WindowWatcher {
  public:
    // Loads every title and text it needs from the resource handle, once.
    // hostFolder is the host's installation folder (OrtxLocation), where its
    // own resource library lies; what the watcher does goes to log.
    WindowWatcher(std::wstring hostFolder, LogSink& log);
    // Removes a key-sequence hook of this watcher that is still installed.
    ~WindowWatcher();
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

    // Looks at one top-level window; false when the enumeration of windows
    // should stop (a window was ended or answered with a key).
    bool WatchWindow(HWND window);
    // Every top-level window in the system's order, until WatchWindow asks
    // to stop.
    void WatchTopLevelWindows();

    // Whether the journal-playback hook of a key-sequence answer is installed.
    bool PlaybackInstalled() const;
    // The journal-playback procedure; it plays the key sequence of the
    // watcher whose hook is installed and removes the hook after the last key.
    static LRESULT CALLBACK PlaybackProc(int code, WPARAM wParam, LPARAM lParam);

  private:
    struct Title {
        unsigned Id;
        std::wstring Text;
        bool Wildcard;
        bool LogsChildren;
        UINT Key;  // table B only
    };

    bool EndWindow(HWND window, const std::wstring& title, bool logChildren);
    void AnswerWithSequence(HWND window, const std::wstring& title);
    void RemovePlayback();
    bool HasChildText(HWND window, const std::wstring& text) const;
    std::wstring HostEarlierReleaseText() const;

    std::wstring hostFolder_;
    LogSink& log_;
    std::vector<Title> fatal_;
    std::vector<Title> keys_;
    std::wstring sequenceTitle_;
    std::wstring harmlessText_;
    std::wstring answeredFormat_;
    std::wstring answerNote_;
    std::wstring windowTexts_;

    // The key sequence in play: the keys, ended by 0, the index of the key in
    // play (-1 before the first event), whether its next event is a key-down.
    static constexpr size_t kSequenceLength = 10;
    UINT sequence_[kSequenceLength] = {};
    int index_ = -1;
    bool keyDown_ = false;
    UINT key_ = 0;
    HWND target_ = nullptr;  // the dialog the keys are for
    bool refused_ = false;   // a sequence was given up: end the dialog next time
    fw::UniqueHook hook_;
};
