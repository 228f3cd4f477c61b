// Page tests: a wizard sheet made by the test around the pages under test,
// driven by a script the way a user acts on it, and an answer to the message
// boxes the pages show.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/PropertySheet.h"

namespace testenv {

// Runs one step of its script at each tick of a timer, inside the sheet's
// own loop. A step never starts while another one runs or while a modal
// window (a message box, a file dialog) keeps the sheet disabled. The
// sheet's PressButton only posts: what it shows is seen in the next step.
class ScriptSheet : public fw::CPropertySheet {
  public:
    using Step = std::function<void(ScriptSheet&)>;
    explicit ScriptSheet(const std::vector<fw::CPropertyPage*>& pages);

    // The sheet's DoModal result; -2 when the script ran out first.
    INT_PTR Run(std::vector<Step> steps);

    HWND Hwnd() const { return GetSafeHwnd(); }
    HWND WizardButton(int id) const { return GetDlgItem(id); }
    // A control of the active page.
    HWND Control(int id) const;
    // Clicks a button or check box of the active page (BM_CLICK).
    void Click(int id) const;
    void SetText(int id, const std::wstring& text) const;

  protected:
    BOOL OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;

  private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool inStep_ = false;
};

// Answers the next message boxes of this process (caption 2001), up to
// count of them, with the button and keeps their texts. Waits on a thread of
// its own: timeoutMs for the first box, a short while for each later one.
class MessageBoxAnswer {
  public:
    explicit MessageBoxAnswer(int button = IDOK, DWORD timeoutMs = 15000, int count = 1);
    ~MessageBoxAnswer();
    bool Seen();                               // waits; true when a box was answered
    std::wstring Text();                       // the first box's message
    const std::vector<std::wstring>& Texts();  // every answered box's message

  private:
    int button_;
    DWORD timeoutMs_;
    int count_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

// Sets the file-name edit of this process's next file dialog with that title
// and presses OK (or Cancel when path is empty); answers Yes when the dialog
// then asks whether to replace the file. An empty title stands for the
// system's own, which is in the system's language: any file dialog.
class FileDialogAnswer {
  public:
    FileDialogAnswer(std::wstring title, std::wstring path, DWORD timeoutMs = 15000);
    ~FileDialogAnswer();
    bool Seen();

  private:
    std::wstring title_;
    std::wstring path_;
    DWORD timeoutMs_;
    bool seen_ = false;
    std::thread thread_;
};

}  // namespace testenv
