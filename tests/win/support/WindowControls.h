// The controls of a window as a user meets them: in tab order (the order of
// the template), each with its class, style, text and place, and the
// keyboard letter its text gives it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testenv {

struct Control {
    HWND Hwnd = nullptr;
    int Id = 0;
    std::wstring Class;  // lower case: "button", "static", "edit", "systreeview32", ...
    std::wstring Text;
    DWORD Style = 0;
    RECT Rect{};  // in the client area of the window

    bool IsPushButton() const;
    bool IsCheckOrRadio() const;
    bool IsGroupBox() const;
    bool IsStatic() const { return Class == L"static"; }
    // An edit, list, tree or combo box: what a label names.
    bool IsInput() const;
    bool IsTabStop() const { return (Style & WS_TABSTOP) != 0; }
    // The upper-case letter after a single "&" of the text; 0 when there is
    // none or the control shows its "&" as it is.
    wchar_t Mnemonic() const;
    // The text as it is shown: the "&" of the mnemonic taken out.
    std::wstring ShownText() const;
};

// The direct children of the window, first to last.
std::vector<Control> ControlsOf(HWND window);

// The width and height a text takes in the font the window draws with
// (WM_GETFONT), on one line, or wrapped at width when width > 0.
SIZE TextExtent(HWND window, const std::wstring& text, int width = 0, bool bold = false);

// A dialog made from a template of a resource library, with a procedure
// that does nothing: what the template alone gives. A child template gets a
// hidden parent of its own.
class TemplateWindow {
  public:
    TemplateWindow(HMODULE library, const wchar_t* templateName);
    ~TemplateWindow();
    TemplateWindow(const TemplateWindow&) = delete;
    TemplateWindow& operator=(const TemplateWindow&) = delete;
    HWND Hwnd() const { return window_; }

  private:
    HWND parent_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace testenv
