// The Search page entered with 20,000 chosen drawings and 50 folders listed,
// in a real wizard window: half the drawings lie in the listed folders, half
// in 50 folders not listed yet, which entering the page adds. Each run starts
// again from the 50 folders.
//
//   scripts/wine-run.sh build/windows/bin/bench_search.exe
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchWin.h"
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "core/Text.h"
#include "framework/PropertySheet.h"
#include "resources/ids.h"
#include "wizard/PageSearch.h"

namespace {

constexpr int kDrawings = 20000, kListed = 50;

std::wstring FolderPath(int i) {
    return L"c:\\projects\\customer " + std::to_wstring(i) + L"\\assemblies\\";
}

int FolderCount(HWND tree) {
    int count = 0;
    for (HTREEITEM i = TreeView_GetChild(tree, TreeView_GetRoot(tree)); i;
         i = TreeView_GetNextSibling(tree, i))
        ++count;
    return count;
}

// Back to the listed folders: every folder after them deleted.
void KeepListed(HWND tree) {
    HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    for (int i = 0; item && i < kListed; ++i) item = TreeView_GetNextSibling(tree, item);
    while (item) {
        const HTREEITEM next = TreeView_GetNextSibling(tree, item);
        TreeView_DeleteItem(tree, item);
        item = next;
    }
}

// A wizard of the Search page and a page after it; the measurements run
// once the sheet is shown.
class BenchSheet : public fw::CPropertySheet {
  public:
    BenchSheet(CPageSearch& search, fw::CPropertyPage& after) : search_(search) {
        AddPage(&search);
        AddPage(&after);
        AddHeaderFlags(PSH_WIZARD);
    }

  protected:
    BOOL OnInitDialog() override {
        CPropertySheet::OnInitDialog();
        SetTimer(1, 50);
        return TRUE;
    }
    bool OnTimer(UINT_PTR id) override {
        KillTimer(id);
        Measure();
        EndDialog(IDCANCEL);
        return true;
    }

  private:
    void Measure() {
        // Shown first, the page has added the new folders already.
        const HWND tree = ::GetDlgItem(search_.GetSafeHwnd(), IDC_SEARCH_TREE);
        bench::Check(tree && FolderCount(tree) == 2 * kListed, "the page lists 100 folders");
        bench::Run(
            "enter the page: 20,000 drawings, 50 folders", 5,
            [&] { bench::Check(SetActivePage(0), "the page entered"); },
            [&] {
                bench::Check(SetActivePage(1), "the page left");
                KeepListed(tree);
            },
            kDrawings);
        bench::Check(FolderCount(tree) == 2 * kListed, "each new folder added once");
    }

    CPageSearch& search_;
};

}  // namespace

int wmain() {
    const auto resources = bench::EnglishResources();
    CAxvekTarvoProgram app;
    std::vector<std::wstring> listed;
    for (int i = 0; i < kListed; ++i) listed.push_back(FolderPath(i));
    app.SavedProfile.ORTX = text::JoinSemicolons(listed);
    // Drawing i lies in folder i % 100: the first 50 listed, the others not.
    for (int i = 0; i < kDrawings; ++i)
        app.Drawings.push_back(FolderPath(i % (2 * kListed)) + L"part-" +
                               std::to_wstring(100000 + i) + L".dwg");
    CPageSearch search(nullptr, app);
    fw::CPropertyPage after(IDD_PAGE_STANDARDS);
    BenchSheet sheet(search, after);
    sheet.DoModal();
    return 0;
}
