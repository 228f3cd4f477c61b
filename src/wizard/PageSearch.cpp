#include "wizard/PageSearch.h"

#include <string>
#include <utility>

#include "app/AxvekTarvoApp.h"
#include "core/Text.h"
#include "drawings/AxvekFile.h"
#include "drawings/AxvekFilenm.h"
#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"
#include "resources/ids.h"
#include "wizard/FolderBrowser.h"

namespace {

// Posted to the page when the tree has ended a label edit: the answer to it
// (questions, deletion, a new edit) must wait until the tree is done.
const UINT kLabelEditEnded = WM_APP + 11;

std::wstring FolderKey(const std::wstring& text) {
    return AxvekFilenm(text).FullPath;
}

std::wstring WithoutLineEnds(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n') out += c;
    return out;
}

}  // namespace

CPageSearch::CPageSearch(CTARVOWizard* sheet, CAxvekTarvoApp& app)
    : CWizardPage(IDD_PAGE_SEARCH, sheet, app, {0, IDC_SEARCH_EMBLEM, IDC_SEARCH_HEADING}) {}

void CPageSearch::DoDataExchange(fw::CDataExchange& dx) {
    CWizardPage::DoDataExchange(dx);
    fw::DDX_Control(dx, IDC_SEARCH_TREE, tree_);
}

BOOL CPageSearch::OnInitDialog() {
    // The profile's list, before the controls are loaded.
    App().BuildSearchFolders();
    CWizardPage::OnInitDialog();

    // The icons grow with the tree's rows on a larger screen.
    const SIZE image = fw::ScaledForScreen(SIZE{20, 16});
    if (images_.Create(image.cx, image.cy, ILC_COLOR32 | ILC_MASK, 0, 8)) {
        for (UINT id : {IDI_SEARCH_ROOT, IDI_SEARCH_FOLDER}) {
            fw::UniqueIcon icon = fw::LoadResIcon(id, image.cx, image.cy);
            images_.Add(icon.Get());
        }
        tree_.SetImageList(images_.Get());
    }
    root_ = tree_.InsertItem(fw::LoadResString(IDS_SEARCH_ROOT), 0, 0);
    current_ = root_;
    HTREEITEM last = nullptr;
    for (const std::wstring& folder : App().SearchFolders) last = AddFolder(folder);
    if (last) tree_.EnsureVisible(last);
    tree_.SelectItem(root_);
    UpdateButtons();
    return TRUE;
}

BOOL CPageSearch::OnSetActive() {
    // Each listed folder made a full path once, not once for every drawing.
    text::NoCaseSet listed;
    for (HTREEITEM item = tree_.GetChildItem(root_); item; item = tree_.GetNextSiblingItem(item))
        listed.insert(FolderKey(tree_.GetItemText(item)));
    for (const std::wstring& drawing : App().Drawings) {
        const AxvekFilenm name(drawing);
        const std::wstring folder = name.Drive + name.Directory;
        if (folder.empty() || listed.count(folder)) continue;
        AddFolder(folder);
        listed.insert(FolderKey(folder));
    }
    return SetActiveWithButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

BOOL CPageSearch::OnKillActive() {
    if (editing_) {
        // The edit is committed first; the user leaves with the next press.
        if (HWND edit = tree_.GetEditControl()) {
            ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            return FALSE;
        }
        editing_ = false;  // an edit that ended without telling us
    }
    App().SearchFolders.clear();
    for (HTREEITEM item = tree_.GetChildItem(root_); item; item = tree_.GetNextSiblingItem(item))
        App().SearchFolders.push_back(tree_.GetItemText(item));
    return CWizardPage::OnKillActive();
}

void CPageSearch::OnCancel() {
    if (editing_) {
        if (HWND edit = tree_.GetEditControl()) ::SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    CWizardPage::OnCancel();
}

bool CPageSearch::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONDOWN) {
        browseClick_ = deleteClick_ = false;
        const auto hits = [&](int id) {
            HWND button = GetDlgItem(id);
            if (!button || !::IsWindowEnabled(button)) return false;
            RECT frame{};
            ::GetWindowRect(button, &frame);
            return PtInRect(&frame, msg->pt) != FALSE;
        };
        if (hits(IDC_SEARCH_BROWSE))
            browseClick_ = true;
        else if (hits(IDC_SEARCH_DELETE))
            deleteClick_ = true;
    }
    return CWizardPage::PreTranslateMessage(msg);
}

bool CPageSearch::OnCommand(UINT id, UINT code, HWND control) {
    if (code != BN_CLICKED) return CWizardPage::OnCommand(id, code, control);
    switch (id) {
        case IDC_SEARCH_BROWSE:
            Browse();
            return true;
        case IDC_SEARCH_NEW:
            NewFolder();
            return true;
        case IDC_SEARCH_DELETE:
            DeleteFolder();
            return true;
        case IDC_SEARCH_UP:
            MoveFolder(true);
            return true;
        case IDC_SEARCH_DOWN:
            MoveFolder(false);
            return true;
        case IDC_SEARCH_LOAD:
            LoadList();
            return true;
        case IDC_SEARCH_SAVE:
            SaveList();
            return true;
        default:
            return CWizardPage::OnCommand(id, code, control);
    }
}

bool CPageSearch::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom != IDC_SEARCH_TREE) return CWizardPage::OnNotify(header, result);
    switch (header->code) {
        case NM_DBLCLK:
            Browse();
            result = 0;
            return true;
        case TVN_SELCHANGEDW: {
            const auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
            if (change->itemNew.hItem) current_ = change->itemNew.hItem;
            editing_ = false;
            UpdateButtons();
            result = 0;
            return true;
        }
        case TVN_KEYDOWN:
            // F2 renames the folder in focus, as in the system's own trees.
            if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey == VK_F2 && !editing_) {
                if (HTREEITEM item = tree_.GetSelectedItem()) tree_.EditLabel(item);
            }
            result = 0;
            return true;
        case TVN_BEGINLABELEDITW:
            editing_ = true;
            browseClick_ = deleteClick_ = false;
            UpdateButtons();
            result = 0;
            return true;
        case TVN_ENDLABELEDITW: {
            // Never taken by the tree itself: the label changes only below.
            result = 0;
            if (browseClick_ || deleteClick_) {
                // Browse or Delete was pressed: its command decides.
                browseClick_ = deleteClick_ = false;
                return true;
            }
            editing_ = false;
            const auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
            endedItem_ = info->item.hItem;
            endedCancelled_ = info->item.pszText == nullptr;
            HWND edit = tree_.GetEditControl();
            endedText_.clear();
            if (edit) {
                endedText_ = fw::WindowText(edit);
            } else if (info->item.pszText) {
                endedText_ = info->item.pszText;
            }
            PostMessage(kLabelEditEnded);
            return true;
        }
        default:
            return false;
    }
}

bool CPageSearch::WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kLabelEditEnded) {
        const HTREEITEM item = std::exchange(endedItem_, nullptr);
        if (item && IsItem(item)) EndLabelEdit(item, endedText_);
        result = 0;
        return true;
    }
    return CWizardPage::WindowProc(msg, wp, lp, result);
}

void CPageSearch::EndLabelEdit(HTREEITEM item, const std::wstring& typed) {
    // Escape keeps the label; only a folder that never had one (New) goes.
    const std::wstring text = endedCancelled_ ? tree_.GetItemText(item) : typed;
    if (text.empty()) {
        // The root stays whatever is typed: every operation needs it.
        if (item == root_) return;
        HTREEITEM previous = tree_.GetPrevSiblingItem(item);
        tree_.DeleteItem(item);
        // With no folder before it the root takes the selection, so that
        // the page always has a current item.
        if (!previous) previous = root_;
        tree_.SelectItem(previous);
        current_ = previous;
        return;
    }
    if (endedCancelled_) return;

    const std::wstring path = FolderKey(text);
    UINT question = 0;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES)
        question = IDS_SEARCH_MISSING;
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        question = IDS_SEARCH_NOT_FOLDER;
    else if (IsListed(path, item))
        question = IDS_SEARCH_DUPLICATE;
    if (question && fw::ShowMessage(fw::FormatResString(question, {path}),
                                    MB_YESNO | MB_ICONQUESTION, hwnd_) != IDYES) {
        RestartLabelEdit(item, text);
        return;
    }
    tree_.SetItemText(item, text);
    tree_.SelectItem(item);
}

void CPageSearch::RestartLabelEdit(HTREEITEM item, const std::wstring& text) {
    tree_.SetFocus();
    HWND edit = tree_.EditLabel(item);
    if (!edit) return;
    // What was typed comes back for correcting; the label is unchanged.
    ::SetWindowTextW(edit, text.c_str());
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

bool CPageSearch::IsListed(const std::wstring& folder, HTREEITEM except) const {
    for (HTREEITEM item = tree_.GetChildItem(root_); item; item = tree_.GetNextSiblingItem(item)) {
        if (item == except) continue;
        if (text::EqualsNoCase(FolderKey(tree_.GetItemText(item)), folder)) return true;
    }
    return false;
}

bool CPageSearch::IsItem(HTREEITEM item) const {
    if (item == root_) return true;
    for (HTREEITEM child = tree_.GetChildItem(root_); child;
         child = tree_.GetNextSiblingItem(child))
        if (child == item) return true;
    return false;
}

HTREEITEM CPageSearch::AddFolder(const std::wstring& label) const {
    return tree_.InsertItem(label, 1, 1, root_, TVI_LAST);
}

void CPageSearch::UpdateButtons() const {
    const HTREEITEM selected = tree_.GetSelectedItem();
    const bool folder = selected && selected != root_;
    const auto enable = [this](int id, bool on) {
        if (HWND button = GetDlgItem(id)) ::EnableWindow(button, on);
    };
    enable(IDC_SEARCH_DELETE, folder);
    enable(IDC_SEARCH_UP, folder && !editing_ && tree_.GetPrevSiblingItem(selected) != nullptr);
    enable(IDC_SEARCH_DOWN, folder && !editing_ && tree_.GetNextSiblingItem(selected) != nullptr);
}

void CPageSearch::Browse() {
    HTREEITEM target = current_;
    if (!target || target == TVI_ROOT || target == root_) {
        target = nullptr;
        const HTREEITEM first = tree_.GetChildItem(root_);
        if (first && tree_.SelectItem(first)) {
            tree_.EnsureVisible(first);
            target = first;
        }
    }
    tree_.SetFocus();
    CFolderBrowser browser(DialogOwner());
    if (browser.DoModal() == IDOK) {
        if (target) tree_.SetItemText(target, browser.GetPathName());
    } else if (editing_ && target && tree_.GetItemText(target).empty()) {
        // A folder begun with New and left without a name goes again; one
        // that had a name keeps it.
        tree_.DeleteItem(target);
        if (target == current_)
            current_ = tree_.GetSelectedItem() ? tree_.GetSelectedItem() : root_;
    }
    editing_ = false;
    UpdateButtons();
}

void CPageSearch::NewFolder() {
    tree_.SetFocus();
    editing_ = false;
    if (current_ && current_ != TVI_ROOT && tree_.GetItemText(current_).empty()) return;
    const HTREEITEM item = AddFolder(std::wstring());
    if (!item) return;
    current_ = item;
    tree_.EnsureVisible(item);
    tree_.SelectItem(item);
    tree_.EditLabel(item);
}

void CPageSearch::DeleteFolder() {
    tree_.SetFocus();
    const HTREEITEM selected = tree_.GetSelectedItem();
    if (selected && selected != root_) {
        tree_.DeleteItem(selected);
        if (selected == current_)
            current_ = tree_.GetSelectedItem() ? tree_.GetSelectedItem() : root_;
    }
    editing_ = false;
    UpdateButtons();
}

void CPageSearch::MoveFolder(bool up) {
    tree_.SetFocus();
    const HTREEITEM selected = tree_.GetSelectedItem();
    if (!selected || selected == root_) return;
    HTREEITEM after = nullptr;
    if (up) {
        const HTREEITEM previous = tree_.GetPrevSiblingItem(selected);
        if (!previous) return;
        after = tree_.GetPrevSiblingItem(previous);
        if (!after) after = TVI_FIRST;
    } else {
        after = tree_.GetNextSiblingItem(selected);
        if (!after) return;
    }
    const std::wstring text = tree_.GetItemText(selected);
    int image = 1, selectedImage = 1;
    tree_.GetItemImage(selected, image, selectedImage);
    const LPARAM data = tree_.GetItemData(selected);
    const HTREEITEM parent = tree_.GetParentItem(selected);
    tree_.DeleteItem(selected);
    const HTREEITEM copy = tree_.InsertItem(text, image, selectedImage, parent, after);
    tree_.SetItemData(copy, data);
    current_ = copy;
    tree_.SelectItem(copy);
    editing_ = false;
    UpdateButtons();
}

void CPageSearch::LoadList() {
    fw::CFileDialog dialog(true, L"pth", L"", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           fw::LoadResString(IDS_SEARCH_FILTER), DialogOwner());
    dialog.SetTitle(fw::LoadResString(IDS_SEARCH_LOAD_TITLE));
    if (dialog.DoModal() != IDOK) return;
    const std::wstring path = dialog.GetPathName();
    AxvekFile file(path);
    if (!file.Open(false)) {
        fw::ShowMessage(fw::FormatResString(IDS_SEARCH_LOAD_FAILED, {path}), MB_ICONERROR, hwnd_);
        return;
    }
    tree_.DeleteAllItems();
    root_ = tree_.InsertItem(fw::LoadResString(IDS_SEARCH_ROOT), 0, 0);
    current_ = root_;
    // One folder a line; the first empty line ends the list.
    for (;;) {
        std::wstring line;
        file.ReadUntil(L'\n', line);
        line = WithoutLineEnds(line);
        if (line.empty()) break;
        tree_.EnsureVisible(AddFolder(line));
    }
    tree_.SelectItem(root_);
    UpdateButtons();
}

void CPageSearch::SaveList() {
    fw::CFileDialog dialog(false, L"pth", L"", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                           fw::LoadResString(IDS_SEARCH_FILTER), DialogOwner());
    dialog.SetTitle(fw::LoadResString(IDS_SEARCH_SAVE_TITLE));
    if (dialog.DoModal() != IDOK) return;
    const std::wstring path = dialog.GetPathName();
    AxvekFile file(path);
    // Written beside the old list and put in its place only when complete,
    // so a failed save never costs the list that was there.
    if (!file.OpenReplacing()) {
        fw::ShowMessage(fw::FormatResString(IDS_SEARCH_SAVE_FAILED, {path}), MB_ICONERROR, hwnd_);
        return;
    }
    for (HTREEITEM item = tree_.GetChildItem(root_); item; item = tree_.GetNextSiblingItem(item)) {
        if (!file.WriteText(tree_.GetItemText(item)) || !file.WriteText(L"\r\n")) break;
    }
    file.CommitReplace();
}

HWND CPageSearch::DialogOwner() const {
    // Owned by the wizard, so that it cannot be used (or cover the dialog)
    // while the dialog is open.
    return GetSheet() && GetSheet()->GetSafeHwnd() ? GetSheet()->GetSafeHwnd() : hwnd_;
}
