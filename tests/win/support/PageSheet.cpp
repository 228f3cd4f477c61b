#include "support/PageSheet.h"

#include "framework/Resources.h"
#include "resources/ids.h"

namespace testenv {

ScriptSheet::ScriptSheet(const std::vector<fw::CPropertyPage*>& pages) {
    for (fw::CPropertyPage* page : pages) AddPage(page);
    AddHeaderFlags(PSH_WIZARD);
}

INT_PTR ScriptSheet::Run(std::vector<Step> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    return DoModal();
}

HWND ScriptSheet::Control(int id) const {
    fw::CPropertyPage* page = GetActivePage();
    return page ? ::GetDlgItem(page->GetSafeHwnd(), id) : nullptr;
}

void ScriptSheet::Click(int id) const {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
}

void ScriptSheet::SetText(int id, const std::wstring& text) const {
    ::SetWindowTextW(Control(id), text.c_str());
}

BOOL ScriptSheet::OnInitDialog() {
    SetTimer(7, 40);
    return TRUE;
}

bool ScriptSheet::OnTimer(UINT_PTR id) {
    if (id != 7) return false;
    if (inStep_ || !IsWindowEnabled()) return true;
    if (next_ >= steps_.size()) {
        KillTimer(7);
        EndDialog(-2);
        return true;
    }
    inStep_ = true;
    steps_[next_++](*this);
    inStep_ = false;
    return true;
}

namespace {

struct BoxFinder {
    std::wstring caption;  // of a message box
    std::wstring title;    // of another window
    HWND found = nullptr;
};

bool OwnVisible(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid == GetCurrentProcessId() && IsWindowVisible(w);
}

// Without a message to the window: the test's thread may be waiting for us.
std::wstring TitleOf(HWND w) {
    wchar_t title[1024] = {};
    InternalGetWindowText(w, title, 1023);
    return title;
}

// A message box is a dialog whose text is a direct child with id 0xFFFF;
// the wizard sheet, with the same caption, has none.
BOOL CALLBACK FindMessageBox(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<BoxFinder*>(lp);
    if (!OwnVisible(w) || TitleOf(w) != f->caption || !GetDlgItem(w, 0xFFFF)) return TRUE;
    f->found = w;
    return FALSE;
}

bool IsFileDialog(HWND w) {
    return GetDlgItem(w, 0x47c) || GetDlgItem(w, 0x480);
}

BOOL CALLBACK FindTitled(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<BoxFinder*>(lp);
    if (!OwnVisible(w)) return TRUE;
    if (f->title.empty() ? !IsFileDialog(w) : TitleOf(w) != f->title) return TRUE;
    f->found = w;
    return FALSE;
}

HWND WaitFor(WNDENUMPROC finder, BoxFinder& f, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        f.found = nullptr;
        EnumWindows(finder, reinterpret_cast<LPARAM>(&f));
        if (f.found) return f.found;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

MessageBoxAnswer::MessageBoxAnswer(int button, DWORD timeoutMs, int count)
    : button_(button), timeoutMs_(timeoutMs), count_(count) {
    const std::wstring caption = fw::LoadResString(IDS_CAPTION);
    thread_ = std::thread([this, caption] {
        for (int i = 0; i < count_; ++i) {
            BoxFinder f{caption, L""};
            HWND box = WaitFor(FindMessageBox, f, i == 0 ? timeoutMs_ : 1500);
            if (!box) return;
            Sleep(100);  // let it finish showing
            texts_.push_back(TitleOf(GetDlgItem(box, 0xFFFF)));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
            for (int wait = 0; wait < 100 && IsWindow(box); ++wait) Sleep(20);
        }
    });
}

MessageBoxAnswer::~MessageBoxAnswer() {
    if (thread_.joinable()) thread_.join();
}

bool MessageBoxAnswer::Seen() {
    return !Texts().empty();
}

std::wstring MessageBoxAnswer::Text() {
    return Seen() ? texts_.front() : std::wstring();
}

const std::vector<std::wstring>& MessageBoxAnswer::Texts() {
    if (thread_.joinable()) thread_.join();
    return texts_;
}

FileDialogAnswer::FileDialogAnswer(std::wstring title, std::wstring path, DWORD timeoutMs)
    : title_(std::move(title)), path_(std::move(path)), timeoutMs_(timeoutMs) {
    thread_ = std::thread([this] {
        BoxFinder f{L"", title_};
        HWND dialog = WaitFor(FindTitled, f, timeoutMs_);
        if (!dialog) return;
        Sleep(200);
        seen_ = true;
        if (path_.empty()) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        // The file-name box: an edit (0x480) or, in the Explorer style, a
        // combo box (0x47c) holding the edit.
        HWND name = GetDlgItem(dialog, 0x47c);
        if (!name) name = GetDlgItem(dialog, 0x480);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path_.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        // A Save dialog asks before it replaces a file: yes.
        BoxFinder ask{title_, L""};
        if (HWND box = WaitFor(FindMessageBox, ask, 1000))
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    });
}

FileDialogAnswer::~FileDialogAnswer() {
    if (thread_.joinable()) thread_.join();
}

bool FileDialogAnswer::Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

}  // namespace testenv
