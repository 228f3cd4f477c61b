#include "framework/Dialog.h"

#include <functional>
#include <stdexcept>

#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

// A dialog on the safety notice's template that records what reached it and
// runs a script once it is up, from inside its own modal loop.
class ProbeDialog : public fw::CDialog {
  public:
    explicit ProbeDialog(UINT id = IDD_SAFETY_NOTICE) : CDialog(id) {}

    std::function<void(ProbeDialog&)> script;
    std::wstring caption;
    int inits = 0, oks = 0, cancels = 0, commands = 0, timers = 0;
    UINT lastNotifyCode = 0;
    bool throwOnCommand = false;

    HWND Hwnd() const { return GetSafeHwnd(); }

  protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++inits;
        caption = GetWindowText();
        if (script) script(*this);
        return TRUE;
    }
    void OnOK() override {
        ++oks;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id == 1234) {
            ++commands;
            if (throwOnCommand) throw std::runtime_error("handler failed");
            return true;
        }
        return CDialog::OnCommand(id, code, control);
    }
    bool OnNotify(NMHDR* header, LRESULT& result) override {
        lastNotifyCode = header->code;
        result = 77;
        return true;
    }
    bool OnTimer(UINT_PTR id) override {
        if (id != 5) return false;
        ++timers;
        KillTimer(5);
        EndDialog(4242);
        return true;
    }
    HICON OnQueryDragIcon() override { return LoadIconW(nullptr, IDI_WARNING); }
};

void Post(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    PostMessageW(w, msg, wp, lp);
}

MSG KeyDown(HWND w, WPARAM key) {
    MSG msg{};
    msg.hwnd = w;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return msg;
}

}  // namespace

class DialogTest : public WinTest {};

TEST_F(DialogTest, ModalDialogEndsTheWayTheUserClosedIt) {
    // What a user's action sends, posted into the dialog's own modal loop.
    const struct {
        const char* action;
        std::function<void(HWND)> act;
        INT_PTR result;
        int oks, cancels;
    } cases[] = {
        {"OK button", [](HWND d) { Post(GetDlgItem(d, IDOK), BM_CLICK); }, IDOK, 1, 0},
        {"Cancel button", [](HWND d) { Post(GetDlgItem(d, IDCANCEL), BM_CLICK); }, IDCANCEL, 0, 1},
        {"Enter key", [](HWND d) { Post(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN); }, IDOK, 1, 0},
        {"Escape key", [](HWND d) { Post(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE); }, IDCANCEL,
         0, 1},
        {"close box", [](HWND d) { Post(d, WM_CLOSE); }, IDCANCEL, 0, 1},
        {"timer handler", [](HWND d) { SetTimer(d, 5, 10, nullptr); }, 4242, 0, 0},
    };
    for (const auto& c : cases) {
        ProbeDialog dialog;
        dialog.script = [&](ProbeDialog& d) { c.act(d.Hwnd()); };
        EXPECT_EQ(dialog.DoModal(), c.result) << c.action;
        EXPECT_EQ(dialog.inits, 1) << c.action;
        EXPECT_EQ(dialog.oks, c.oks) << c.action;
        EXPECT_EQ(dialog.cancels, c.cancels) << c.action;
        EXPECT_EQ(dialog.Hwnd(), nullptr) << c.action;
        EXPECT_FALSE(dialog.IsModal());
    }
}

TEST_F(DialogTest, TemplateComesFromTheResourceLibraryInForce) {
    ProbeDialog english;
    english.script = [](ProbeDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(english.DoModal(), IDOK);
    EXPECT_EQ(english.caption, L"Safety Notice");

    resources_.reset();
    ResourceLibraryScope german(LoadLibraryW(ResourceLibraryFile(L"de-DE").c_str()));
    ProbeDialog deutsch;
    deutsch.script = [](ProbeDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(deutsch.DoModal(), IDOK);
    EXPECT_EQ(deutsch.caption, L"Sicherheitshinweis");

    ProbeDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.inits, 0);
}

TEST_F(DialogTest, HandlersAnswerThroughTheOneDialogProcedure) {
    ProbeDialog dialog;
    LRESULT notifyResult = 0, dragIcon = 0, command = -1;
    dialog.script = [&](ProbeDialog& d) {
        HWND w = d.Hwnd();
        EXPECT_EQ(fw::CWnd::FromHandle(w), &d);
        NMHDR header{GetDlgItem(w, IDOK), IDOK, static_cast<UINT>(-12345)};
        // The dialog manager hands back what the handler put in DWLP_MSGRESULT.
        notifyResult = SendMessageW(w, WM_NOTIFY, IDOK, reinterpret_cast<LPARAM>(&header));
        // WM_QUERYDRAGICON is one of the messages answered directly.
        dragIcon = SendMessageW(w, WM_QUERYDRAGICON, 0, 0);
        command = SendMessageW(w, WM_COMMAND, MAKEWPARAM(1234, BN_CLICKED), 0);
        // A handler's exception stays inside the dialog; the dialog goes on.
        d.throwOnCommand = true;
        SendMessageW(w, WM_COMMAND, MAKEWPARAM(1234, BN_CLICKED), 0);
        Post(GetDlgItem(w, IDCANCEL), BM_CLICK);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(notifyResult, 77);
    EXPECT_EQ(dialog.lastNotifyCode, static_cast<UINT>(-12345));
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_WARNING)));
    EXPECT_EQ(command, 0);
    EXPECT_EQ(dialog.commands, 2);
}

TEST_F(DialogTest, ModelessDialogHidesOnCloseTakesItsKeysAndIsDestroyedWithItsObject) {
    HWND window = nullptr;
    {
        ProbeDialog dialog;
        ASSERT_TRUE(dialog.Create());
        window = dialog.Hwnd();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(dialog.inits, 1);
        EXPECT_FALSE(dialog.IsModal());
        EXPECT_FALSE(dialog.Create()) << "one window per object";
        ShowWindow(window, SW_SHOW);

        // Tab moves the focus only when the loop offers the key to the dialog.
        HWND ok = GetDlgItem(window, IDOK), cancel = GetDlgItem(window, IDCANCEL);
        SetFocus(ok);
        MSG tab = KeyDown(ok, VK_TAB);
        EXPECT_TRUE(fw::WalkPreTranslateTree(&tab));
        EXPECT_EQ(GetFocus(), cancel);

        MSG escape = KeyDown(cancel, VK_ESCAPE);
        EXPECT_TRUE(fw::WalkPreTranslateTree(&escape));
        EXPECT_EQ(dialog.cancels, 1);
        EXPECT_TRUE(IsWindow(window)) << "a modeless dialog is only hidden";
        EXPECT_FALSE(IsWindowVisible(window));
    }
    EXPECT_FALSE(IsWindow(window));
}
