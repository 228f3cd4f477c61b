#include "framework/Wnd.h"

#include <unordered_map>

namespace fw {

namespace {
// Window properties rather than GWLP_USERDATA or DWLP_USER: those belong to
// the window's class (message boxes and common dialogs use DWLP_USER), while
// these names are ours alone.
const wchar_t kObjectProp[] = L"axTarvo.fw.CWnd";
const wchar_t kProcProp[] = L"axTarvo.fw.WndProc";

// Every attachment and subclassing of the process, in step with the
// properties: asking a property is a trip to the window server on some
// systems, and the dialog and subclass procedures ask on every message.
// An entry goes with WM_NCDESTROY or the detach, so a window handle used
// again later never finds an object of the window before it.
struct Attachment {
    CWnd* Object = nullptr;
    WNDPROC Proc = nullptr;
};
SRWLOCK g_lock = SRWLOCK_INIT;
std::unordered_map<HWND, Attachment>& Attachments() {
    static std::unordered_map<HWND, Attachment> attachments;
    return attachments;
}

class Locked {
  public:
    Locked() { AcquireSRWLockExclusive(&g_lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

Attachment Find(HWND window) {
    Locked lock;
    const auto at = Attachments().find(window);
    return at == Attachments().end() ? Attachment{} : at->second;
}

// Changes the window's entry; an entry left empty goes.
template <typename Change>
void Update(HWND window, Change change) {
    Locked lock;
    Attachment& entry = Attachments()[window];
    change(entry);
    if (!entry.Object && !entry.Proc) Attachments().erase(window);
}

WNDPROC OriginalProc(HWND window) {
    return Find(window).Proc;
}
}  // namespace

CWnd::~CWnd() {
    if (!hwnd_) return;
    if (subclassed_)
        UnsubclassWindow();
    else
        Detach();
}

CWnd* CWnd::FromHandle(HWND window) {
    // Only this process attaches objects, and all of them are in the table.
    return window ? Find(window).Object : nullptr;
}

bool CWnd::SubclassWindow(HWND window) {
    if (!window || hwnd_ || !IsWindow(window) || FromHandle(window)) return false;
    // A pass-through procedure of ours may still sit in the chain (see
    // UnsubclassWindow); subclassing again would make it call itself.
    if (OriginalProc(window)) return false;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
    const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!old || !SetPropW(window, kProcProp, reinterpret_cast<HANDLE>(old))) return false;
    Update(window, [old](Attachment& entry) { entry.Proc = old; });
    Attach(window);
    subclassed_ = true;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc));
    return true;
}

bool CWnd::SubclassDlgItem(int id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = hwnd_;
    if (!window) return nullptr;
    if (subclassed_) {
        // Only when ours is the front procedure can the old one be put back;
        // otherwise SubclassProc stays in the chain and only passes messages on.
        const auto front = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        if (front == &CWnd::SubclassProc) {
            SetWindowLongPtrW(window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(OriginalProc(window)));
            RemovePropW(window, kProcProp);
            Update(window, [](Attachment& entry) { entry.Proc = nullptr; });
        }
    }
    Detach();
    return window;
}

bool CWnd::AttachWithoutSubclassing(HWND window) {
    if (!window || hwnd_) return false;
    hwnd_ = window;
    return true;
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

std::wstring WindowText(HWND window) {
    // For a window of another process this reads the stored caption without
    // sending it a message, so a hung process cannot block the caller.
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring CWnd::GetWindowText() const {
    return WindowText(hwnd_);
}

std::wstring CWnd::GetDlgItemText(int id) const {
    return WindowText(GetDlgItem(id));
}

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r;
}

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r;
}

bool CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_COMMAND:
            return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        case WM_NOTIFY:
            return lp && OnNotify(reinterpret_cast<NMHDR*>(lp), result);
        case WM_TIMER:
            return OnTimer(wp);
        case WM_PAINT:
            return OnPaint();
        case WM_DROPFILES:
            return OnDropFiles(reinterpret_cast<HDROP>(wp));
        case WM_QUERYDRAGICON:
            if (HICON icon = OnQueryDragIcon()) {
                result = reinterpret_cast<LRESULT>(icon);
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool CWnd::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool CWnd::OnNotify(NMHDR*, LRESULT&) {
    return false;
}
bool CWnd::OnTimer(UINT_PTR) {
    return false;
}
bool CWnd::OnPaint() {
    return false;
}
bool CWnd::OnDropFiles(HDROP) {
    return false;
}
HICON CWnd::OnQueryDragIcon() {
    return nullptr;
}
void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) const {
    WNDPROC old = hwnd_ ? OriginalProc(hwnd_) : nullptr;
    return old ? CallWindowProcW(old, hwnd_, msg, wp, lp) : 0;
}

void CWnd::Attach(HWND window) {
    hwnd_ = window;
    SetPropW(window, kObjectProp, this);
    Update(window, [this](Attachment& entry) { entry.Object = this; });
}

void CWnd::Detach() {
    if (hwnd_ && FromHandle(hwnd_) == this) {
        RemovePropW(hwnd_, kObjectProp);
        Update(hwnd_, [](Attachment& entry) { entry.Object = nullptr; });
    }
    hwnd_ = nullptr;
    subclassed_ = false;
}

bool CWnd::RouteMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    try {
        return WindowProc(msg, wp, lp, result);
    } catch (...) {
        result = 0;
        return false;
    }
}

void CWnd::WindowGone() {
    Detach();
    try {
        PostNcDestroy();
    } catch (...) {
    }
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    const WNDPROC old = OriginalProc(window);
    CWnd* object = FromHandle(window);
    if (object && !object->subclassed_) object = nullptr;
    LRESULT result = 0;
    if (object && msg != WM_NCDESTROY && object->RouteMessage(msg, wp, lp, result)) return result;
    result = old ? CallWindowProcW(old, window, msg, wp, lp) : DefWindowProcW(window, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        RemovePropW(window, kProcProp);
        Update(window, [](Attachment& entry) { entry.Proc = nullptr; });
        if (object) object->WindowGone();
    }
    return result;
}

bool WalkPreTranslateTree(MSG* msg) {
    for (HWND window = msg->hwnd; window; window = GetParent(window)) {
        if (CWnd* object = CWnd::FromHandle(window)) {
            try {
                if (object->PreTranslateMessage(msg)) return true;
            } catch (...) {
            }
        }
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

}  // namespace fw
