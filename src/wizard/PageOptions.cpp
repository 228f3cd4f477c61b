#include "wizard/PageOptions.h"

#include <commdlg.h>
#include <io.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/AxvekTarvoApp.h"
#include "framework/DataExchange.h"
#include "framework/Gdi.h"
#include "framework/OsVersion.h"
#include "framework/Resources.h"
#include "resources/ids.h"

namespace {

struct FlagBox {
    DWORD bit;
    int id;
};

// The check boxes of OrtxaFlags. Bit 0x40 and the bits above 0x400 have no
// box and are left as they are.
const FlagBox kFlagBoxes[] = {
    {0x1, IDC_OPT_SETUP},          {0x2, IDC_OPT_PURGE},           {0x4, IDC_OPT_PURGE_BLOCKS},
    {0x8, IDC_OPT_PURGE_LAYERS},   {0x10, IDC_OPT_PURGE_DIMSTY},   {0x20, IDC_OPT_PURGE_PLOTSTY},
    {0x80, IDC_OPT_PURGE_LTYPES},  {0x100, IDC_OPT_PURGE_TEXTSTY}, {0x200, IDC_OPT_PURGE_MLSTY},
    {0x400, IDC_OPT_PURGE_SHAPES},
};

// Enabled with the purge bit: the category boxes and their group.
const int kPurgeControls[] = {IDC_OPT_PURGE_BLOCKS,  IDC_OPT_PURGE_LAYERS, IDC_OPT_PURGE_DIMSTY,
                              IDC_OPT_PURGE_PLOTSTY, IDC_OPT_PURGE_GROUP,  IDC_OPT_PURGE_LTYPES,
                              IDC_OPT_PURGE_TEXTSTY, IDC_OPT_PURGE_MLSTY,  IDC_OPT_PURGE_SHAPES};

// The whole OPENFILENAMEW from Windows XP (version 5.1) on; the size without
// the three trailing members before that.
DWORD OpenFileNameSize() {
    return fw::IsWindowsXpOrLater() ? sizeof(OPENFILENAMEW) : OPENFILENAME_SIZE_VERSION_400W;
}

}  // namespace

CPageOptions::CPageOptions(CTARVOWizard* sheet, CAxvekTarvoApp& app)
    : CWizardPage(IDD_PAGE_OPTIONS, sheet, app,
                  {IDC_OPT_PICTURE, IDC_OPT_EMBLEM, IDC_OPT_HEADING}) {}

void CPageOptions::DoDataExchange(fw::CDataExchange& dx) {
    CWizardPage::DoDataExchange(dx);
    // A refused time-out stops the exchange here, before the flags below.
    if (!fw::DDX_Text(dx, IDC_OPT_TIMEOUT, timeout_, 1, 1440)) return;
    App().UpdateFlags = 0;
    App().OptionFlags = 0;
    fw::DDX_Text(dx, IDC_OPT_SETUP_DRAWING, App().SetupDrawing);
    for (const FlagBox& box : kFlagBoxes) fw::DDX_CheckBit(dx, box.id, App().OrtxaFlags, box.bit);
    if (dx.Saving()) App().Timeout = timeout_;
}

BOOL CPageOptions::OnInitDialog() {
    timeout_ = App().Timeout;
    CWizardPage::OnInitDialog();
    WidenPurgeBox();
    ApplyEnabledStates();
    return FALSE;
}

BOOL CPageOptions::OnSetActive() {
    return SetActiveWithButtons(PSWIZB_BACK | PSWIZB_NEXT);
}

LRESULT CPageOptions::OnWizardNext() {
    // A refused time-out has shown its message and keeps the page; going on
    // would only show it a second time when the page is left.
    if (!UpdateData(true)) return -1;
    if (!(App().OrtxaFlags & 0x1)) return CWizardPage::OnWizardNext();
    if (!App().SetupDrawing.empty() && _waccess(App().SetupDrawing.c_str(), 0) == 0)
        return CWizardPage::OnWizardNext();
    fw::ShowMessage(fw::LoadResString(IDS_SETUP_DRAWING_MISSING), MB_ICONWARNING, hwnd_);
    return -1;
}

bool CPageOptions::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
        case IDC_OPT_SETUP:
        case IDC_OPT_PURGE:
            if (code != BN_CLICKED) return false;
            // Only the two master boxes: a half-typed time-out must not
            // answer a click on a box with its range message.
            {
                fw::CDataExchange dx(hwnd_, true);
                fw::DDX_CheckBit(dx, IDC_OPT_SETUP, App().OrtxaFlags, 0x1);
                fw::DDX_CheckBit(dx, IDC_OPT_PURGE, App().OrtxaFlags, 0x2);
            }
            ApplyEnabledStates();
            return true;
        case IDC_OPT_SETUP_BROWSE:
            if (code != BN_CLICKED) return false;
            BrowseSetupDrawing();
            return true;
        default:
            return CWizardPage::OnCommand(id, code, control);
    }
}

void CPageOptions::ApplyEnabledStates() const {
    const bool purge = (App().OrtxaFlags & 0x2) != 0;
    const bool setup = (App().OrtxaFlags & 0x1) != 0;
    for (int id : kPurgeControls) {
        if (HWND control = GetDlgItem(id)) ::EnableWindow(control, purge);
    }
    for (int id : {IDC_OPT_SETUP_DRAWING, IDC_OPT_SETUP_BROWSE}) {
        if (HWND control = GetDlgItem(id)) ::EnableWindow(control, setup);
    }
}

void CPageOptions::WidenPurgeBox() const {
    HWND box = GetDlgItem(IDC_OPT_PURGE);
    if (!box) return;
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(box, text, 255);
    // The page's own context with no font chosen, as the box was laid out
    // for: the system font is wider than the dialog font, which leaves room.
    SIZE extent{};
    {
        fw::CClientDC dc(hwnd_);
        GetTextExtentPoint32W(dc.Get(), text, length, &extent);
    }
    RECT frame{};
    ::GetWindowRect(box, &frame);
    int width = frame.right - frame.left + static_cast<int>(std::trunc(0.9 * extent.cx));
    // The system font does not grow with the screen as the dialog font
    // does: on a larger screen the text in the box's own font, after the box
    // and its gap, is what must fit.
    SIZE own{};
    {
        fw::CClientDC dc(box);
        fw::SelectedObject font(dc.Get(),
                                reinterpret_cast<HGDIOBJ>(::SendMessageW(box, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc.Get(), text, length, &own);
    }
    width = std::max(width, static_cast<int>(own.cx) + MulDiv(20, fw::ScreenDpi(), 96));
    SetWindowPos(box, nullptr, 0, 0, width, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPageOptions::BrowseSetupDrawing() {
    UpdateData(true);
    wchar_t file[MAX_PATH] = {};
    wchar_t title[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OpenFileNameSize();
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = L"DWT Files\0*.dwt\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = MAX_PATH;
    ofn.lpstrDefExt = L"dwt";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&ofn)) App().SetupDrawing = file;
    UpdateData(false);
}
