// The routing every dialog procedure of the framework shares: the dialog's
// (and through it the pages'), and the hook of an old-style file dialog. The
// object comes with WM_INITDIALOG and is attached to the window then; later
// messages find it from the window and go through its WindowProc, and
// WM_NCDESTROY detaches it. No exception escapes into the system.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

namespace fw {

class DialogRouting {
  public:
    // brought: at WM_INITDIALOG, the object its lParam names (nullptr for
    // none). init(object) runs the object's OnInitDialog, whose value the
    // procedure returns. done(msg, result) gives what the procedure returns
    // for a message the object handled; one it did not handle gives FALSE, so
    // that the dialog manager's default processing runs.
    template <class Object, class Init, class Done>
    static INT_PTR Route(HWND window, UINT msg, WPARAM wp, LPARAM lp, Object* brought, Init init,
                         Done done) {
        if (msg == WM_INITDIALOG) {
            if (!brought) return TRUE;
            static_cast<CWnd*>(brought)->Attach(window);
            try {
                return init(*brought);
            } catch (...) {
                return TRUE;
            }
        }
        CWnd* self = CWnd::FromHandle(window);
        if (!self) return FALSE;  // messages before WM_INITDIALOG
        if (msg == WM_NCDESTROY) {
            self->WindowGone();
            return FALSE;
        }
        LRESULT result = 0;
        if (!self->RouteMessage(msg, wp, lp, result)) return FALSE;
        return done(msg, result);
    }
};

}  // namespace fw
