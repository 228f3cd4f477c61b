// The modeless help window: the host's migration help text, read-only, in a
// window whose width follows a picture of the resource library.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"

// The text view never takes the caret or a selection from a focus change.
class CHelpEdit : public fw::CEdit {
  protected:
    bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class CHelpDlg : public fw::CDialog {
  public:
    // The text comes from the help file under the host folder.
    explicit CHelpDlg(std::wstring hostFolder, HWND parent = nullptr);
    ~CHelpDlg() override;

    // The help file: the host folder + "\migration\dwgmigr.txt".
    static std::wstring HelpFilePath(const std::wstring& hostFolder);
    // The file decoded through the system language's code page, with CR LF
    // line ends; empty when it cannot be read.
    static std::wstring ReadHelpText(const std::wstring& path);
    // The picture that sizes the window on a display of that colour depth:
    // 2144 below 256 colours, else 2143.
    static UINT PictureForDepth(int planes, int bitsPerPixel);

    const std::wstring& HelpText() const { return helpText_; }

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;

  private:
    void ScalePicture();
    void SizeToPicture();
    void SetTextFont();

    std::wstring hostFolder_;
    CHelpEdit text_;
    fw::CStatic picture_;
    std::wstring helpText_;
    fw::CBitmap bitmap_;
    fw::CBitmap shownPicture_;           // the template's, grown for a larger screen
    HBITMAP templatePicture_ = nullptr;  // the picture's own, given back before it goes
    fw::CFont font_;
    fw::UniqueIcon largeIcon_;
    fw::UniqueIcon smallIcon_;
};
