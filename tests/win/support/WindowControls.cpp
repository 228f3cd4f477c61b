#include "support/WindowControls.h"

#include <commctrl.h>

#include <cstring>
#include <cwctype>

namespace testenv {

namespace {

DWORD ButtonType(DWORD style) {
    return style & BS_TYPEMASK;
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

bool Control::IsPushButton() const {
    if (Class != L"button") return false;
    const DWORD type = ButtonType(Style);
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool Control::IsCheckOrRadio() const {
    if (Class != L"button") return false;
    switch (ButtonType(Style)) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

bool Control::IsGroupBox() const {
    return Class == L"button" && ButtonType(Style) == BS_GROUPBOX;
}

bool Control::IsInput() const {
    return Class == L"edit" || Class == L"listbox" || Class == L"combobox" ||
           Class == L"systreeview32" || Class == L"syslistview32";
}

wchar_t Control::Mnemonic() const {
    if (IsStatic() && (Style & SS_NOPREFIX)) return 0;
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != L'&') continue;
        if (Text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towupper(Text[i + 1]));
    }
    return 0;
}

std::wstring Control::ShownText() const {
    if (IsStatic() && (Style & SS_NOPREFIX)) return Text;
    std::wstring shown;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == L'&' && i + 1 < Text.size()) ++i;
        shown += Text[i];
    }
    return shown;
}

std::vector<Control> ControlsOf(HWND window) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c;
        c.Hwnd = child;
        c.Id = GetDlgCtrlID(child);
        wchar_t name[64] = {};
        GetClassNameW(child, name, 63);
        for (wchar_t* p = name; *p; ++p) *p = static_cast<wchar_t>(std::towlower(*p));
        c.Class = name;
        const int length = GetWindowTextLengthW(child);
        c.Text.assign(static_cast<size_t>(length) + 1, L'\0');
        c.Text.resize(static_cast<size_t>(GetWindowTextW(child, c.Text.data(), length + 1)));
        c.Style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        GetWindowRect(child, &c.Rect);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&c.Rect), 2);
        controls.push_back(c);
    }
    return controls;
}

SIZE TextExtent(HWND window, const std::wstring& text, int width, bool bold) {
    HDC dc = GetDC(window);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HFONT made = nullptr;
    LOGFONTW description{};
    if (bold && font && GetObjectW(font, sizeof description, &description)) {
        description.lfWeight = FW_BOLD;
        made = CreateFontIndirectW(&description);
    }
    HGDIOBJ before = SelectObject(dc, made ? made : font);
    RECT r{0, 0, width > 0 ? width : 0, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    format |= width > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(dc, text.c_str(), -1, &r, format);
    SelectObject(dc, before);
    if (made) DeleteObject(made);
    ReleaseDC(window, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TemplateWindow::TemplateWindow(HMODULE library, const wchar_t* templateName) {
    const INITCOMMONCONTROLSEX classes{
        sizeof(INITCOMMONCONTROLSEX),
        ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    parent_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    // A copy of the template that is not shown: a window that comes up
    // active makes Wine wait for a window manager when it goes.
    HRSRC found = FindResourceW(library, templateName, RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(library, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return;
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(library, found));
    const bool extended = copy.size() > 4 && copy[2] == 0xFF && copy[3] == 0xFF;
    const size_t styleAt = extended ? 12 : 0;
    if (copy.size() < styleAt + sizeof(DWORD)) return;
    DWORD style = 0;
    memcpy(&style, &copy[styleAt], sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    memcpy(&copy[styleAt], &style, sizeof style);
    window_ = CreateDialogIndirectParamW(library, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()),
                                         parent_, QuietProc, 0);
}

TemplateWindow::~TemplateWindow() {
    if (window_) DestroyWindow(window_);
    if (parent_) DestroyWindow(parent_);
}

}  // namespace testenv
