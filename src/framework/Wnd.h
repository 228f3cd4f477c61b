// The thin window base of every dialog, page, sheet and control object: it
// attaches a C++ object to a window, routes the window's messages through
// one virtual WindowProc and its handlers, and wraps the few window calls the
// program uses. The object never owns more than the attachment: a subclassed
// control or sheet keeps its own window procedure behind ours.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace fw {

// A window's text, whole; empty for none.
std::wstring WindowText(HWND window);

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();  // detaches from a window that outlives the object
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }

    // The object attached to a window, or nullptr (other windows, or a
    // window whose object is gone).
    static CWnd* FromHandle(HWND window);

    // Attaches the object to an existing window and puts WindowProc in front
    // of the window's procedure, so that the object sees its messages (a
    // painted static gets its WM_PAINT). False when the window is missing or
    // already has an object.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    // Puts the window's own procedure back and detaches; returns the window.
    HWND UnsubclassWindow();

    // Attaches the object to a window whose messages it needs none of (a
    // control its dialog serves through notifications): the calls below work
    // on it, and nothing else changes. No procedure of ours goes in front and
    // the window is not registered, so FromHandle does not find the object
    // and nothing is left behind when the window goes first. False when the
    // window is missing or the object is attached already.
    bool AttachWithoutSubclassing(HWND window);
    // Lets go of the window of AttachWithoutSubclassing or Attach; a
    // subclassed window goes back with UnsubclassWindow instead.
    void Detach();

    // Called for every message of a modal loop of ours (the property sheet's),
    // from the window the message is for up to its top-level window, before
    // the message is dispatched. True: the message was taken, do not
    // dispatch it.
    virtual bool PreTranslateMessage(MSG* msg);

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendMessageW(hwnd_, msg, wp, lp);
    }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::PostMessageW(hwnd_, msg, wp, lp) != FALSE;
    }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text) const {
        ::SetDlgItemTextW(hwnd_, id, text.c_str());
    }
    void EnableWindow(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void ShowWindow(int show) const { ::ShowWindow(hwnd_, show); }
    bool IsWindowVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    void Invalidate(bool erase = true) const { ::InvalidateRect(hwnd_, nullptr, erase); }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) const {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    // The timer's handle (its id), 0 when it could not be set.
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) const {
        return ::SetTimer(hwnd_, id, milliseconds, nullptr);
    }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(hwnd_, id) != FALSE; }
    void SetFocus() const { ::SetFocus(hwnd_); }

  protected:
    // Every message of the attached window. Returns true when the message was
    // handled, with its result; false lets the window's default processing
    // run (its own procedure, or for a dialog the dialog manager). The base
    // hands the common messages to the handlers below.
    virtual bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // Handlers: return true when handled. Commands by id (code is the
    // notification code, control the sending control or nullptr),
    // notifications by their header's code.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    virtual bool OnTimer(UINT_PTR id);
    virtual bool OnPaint();
    virtual bool OnDropFiles(HDROP drop);
    // The icon to drag a minimised window by; nullptr for the default.
    virtual HICON OnQueryDragIcon();
    // The window is gone (after WM_NCDESTROY); the object is detached.
    virtual void PostNcDestroy();

    // The subclassed window's own procedure for this message.
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) const;

    // Attach without subclassing, registered for FromHandle: dialogs and
    // pages, whose procedure is the framework's dialog procedure.
    void Attach(HWND window);

    // Runs WindowProc without letting an exception escape into the system;
    // an exception counts as "not handled".
    bool RouteMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // WM_NCDESTROY seen: detach and tell the object.
    void WindowGone();

    HWND hwnd_ = nullptr;

  private:
    friend class DialogRouting;  // attaches, routes and detaches for the dialog procedures
    static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    bool subclassed_ = false;
};

// Walks a message from its window up to its top-level window, offering it to
// each attached object's PreTranslateMessage. True when one took it.
bool WalkPreTranslateTree(MSG* msg);

}  // namespace fw
