#include "wizard/PageStds.h"

#include <string>

#include "app/AxvekTarvoApp.h"
#include "framework/RegKey.h"
#include "framework/DataExchange.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

namespace {
// Display names, in the order of the indexes SymbolStd stores.
const UINT kStandardNames[CPageStds::kStandardCount] = {IDS_STD_0, IDS_STD_1, IDS_STD_2, IDS_STD_3,
                                                        IDS_STD_4, IDS_STD_5, IDS_STD_6};
}  // namespace

CPageStds::CPageStds(CTARVOWizard* sheet, CAxvekTarvoApp& app)
    : CWizardPage(IDD_PAGE_STANDARDS, sheet, app,
                  {IDC_STD_PICTURE, IDC_STD_EMBLEM, IDC_STD_HEADING}) {}

UINT CPageStds::StandardNameId(int index) {
    return index >= 0 && index < kStandardCount ? kStandardNames[index] : kStandardNames[0];
}

void CPageStds::DoDataExchange(fw::CDataExchange& dx) {
    CWizardPage::DoDataExchange(dx);
    fw::DDX_Control(dx, IDC_STD_LIST, standards_);
    fw::DDX_Check(dx, IDC_STD_TITLE_BLOCKS, titleBlocks_);
    fw::DDX_Check(dx, IDC_STD_SYMBOLS, symbols_);
    if (!dx.Saving()) return;

    const HTREEITEM item = standards_.GetSafeHwnd() ? standards_.GetSelectedItem() : nullptr;
    const int index = item ? static_cast<int>(standards_.GetItemData(item)) : 0;
    App().SymbolStd = index >= 1 && index < kStandardCount ? index : 0;
    // Written now, whatever the end of the wizard; a key that cannot be
    // written changes nothing else.
    const std::wstring name = fw::LoadResString(StandardNameId(App().SymbolStd));
    const RegKey bom(EditionKeyPath() + L"\\BOM Migration", HKEY_CURRENT_USER);
    bom.WriteString(L"Last Recently Used Standard", name);
    bom.WriteString(L"Original name", name);
    App().SablonFlags =
        (titleBlocks_ == BST_CHECKED ? 0x1u : 0u) | (symbols_ == BST_CHECKED ? 0x2u : 0u);
}

BOOL CPageStds::OnInitDialog() {
    selected_ = App().SymbolStd;
    titleBlocks_ = (App().SablonFlags & 0x1) ? BST_CHECKED : BST_UNCHECKED;
    symbols_ = (App().SablonFlags & 0x2) ? BST_CHECKED : BST_UNCHECKED;
    CWizardPage::OnInitDialog();

    if (images_.LoadBitmap(IDB_STANDARDS, 24, 1, RGB(255, 255, 255)))
        standards_.SetImageList(images_.Get());
    for (int index = 0; index < kStandardCount; ++index) {
        const HTREEITEM item =
            standards_.InsertItem(fw::LoadResString(kStandardNames[index]), 0, 1);
        standards_.SetItemData(item, index);
        if (index == selected_) standards_.SelectItem(item);
    }
    if (App().Operation == 2) {
        for (int id : {IDC_STD_TITLE_BLOCKS, IDC_STD_SYMBOLS, IDC_STD_CHOICES})
            if (HWND control = GetDlgItem(id)) ::EnableWindow(control, FALSE);
    }
    return TRUE;
}
