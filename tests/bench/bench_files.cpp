// The Files page with 20,000 drawings, in a real wizard window: a dropped
// folder tree (against a plain FindFirstFile walk of the same tree that reads
// the first 22 bytes of every drawing), a 20,000-entry list file, sorting by
// each column, and Next's status refresh and collection.
//
//   scripts/wine-run.sh build/windows/bin/bench_files.exe
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchWin.h"
#include "../win/support/Drop.h"
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "drawings/AxvekFile.h"
#include "framework/PropertySheet.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "wizard/PageFiles.h"

namespace {

constexpr int kTop = 20, kSub = 10, kPerFolder = 100;  // 20,000 drawings, three levels
constexpr long long kDrawings = 1LL * kTop * kSub * kPerFolder;

void WriteDrawingFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bench::Check(file != INVALID_HANDLE_VALUE, "writing a drawing");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> MakeTree(const std::wstring& root) {
    standin::DrawingSpec spec;
    spec.Version = "OX1021";
    spec.Width = 16;
    spec.Height = 12;
    const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
    std::vector<std::wstring> paths;
    CreateDirectoryW(root.c_str(), nullptr);
    for (int t = 0; t < kTop; ++t) {
        const std::wstring top = root + L"\\project-" + std::to_wstring(t);
        CreateDirectoryW(top.c_str(), nullptr);
        for (int s = 0; s < kSub; ++s) {
            const std::wstring sub = top + L"\\assembly-" + std::to_wstring(s);
            CreateDirectoryW(sub.c_str(), nullptr);
            for (int i = 0; i < kPerFolder; ++i) {
                paths.push_back(sub + L"\\part-" + std::to_wstring(i) + L".dwg");
                WriteDrawingFile(paths.back(), bytes);
            }
        }
    }
    return paths;
}

// The walk the page is measured against: every file of the tree found, and
// the first 22 bytes of every drawing read.
long long PlainWalk(const std::wstring& folder) {
    long long read = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            read += PlainWalk(path);
            continue;
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        char header[22];
        DWORD got = 0;
        if (ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header) ++read;
        CloseHandle(file);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return read;
}

int ListedCount(CPageFiles& page) {
    HWND list = GetDlgItem(page.GetSafeHwnd(), IDC_FILES_LIST);
    return list ? ListView_GetItemCount(list) : -1;
}

// A wizard around the page that runs the measurements once the page is shown.
class BenchSheet : public fw::CPropertySheet {
  public:
    BenchSheet(CPageFiles& page, const std::wstring& folder) : page_(page), folder_(folder) {
        AddPage(&page);
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
        const std::wstring tree = folder_ + L"tree";
        const std::wstring empty = folder_ + L"empty.dml", full = folder_ + L"full.dml";
        std::printf("writing %lld drawings...\n", kDrawings);
        std::fflush(stdout);
        const std::vector<std::wstring> paths = MakeTree(tree);
        {
            AxvekDmlFile file(empty);
            bench::Check(file.Open(true) && file.WriteList({}), "empty list");
        }
        {
            AxvekDmlFile file(full);
            bench::Check(file.Open(true) && file.WriteList(paths), "full list");
        }
        const auto clear = [&] { page_.OpenListFile(empty); };

        long long walked = 0;
        const bench::Result walk = bench::Run(
            "plain walk, 22 bytes of each drawing", 3, [&] { walked = PlainWalk(tree); }, {},
            kDrawings);
        bench::Check(walked == kDrawings, "the walk read every drawing");
        const bench::Result drop = bench::Run(
            "drop the tree on the page", 3, [&] { page_.DropFiles(MakeDrop({tree})); }, clear,
            kDrawings);
        bench::Check(ListedCount(page_) == kDrawings, "the drop listed every drawing");
        std::printf("  drop / walk: %.2f (target at most 1.5, and under 3000 ms)\n",
                    drop.Min() / walk.Min());

        bench::Run(
            "open a 20,000-entry list", 3, [&] { page_.OpenListFile(full); }, clear, kDrawings);
        bench::Check(ListedCount(page_) == kDrawings, "the list listed every drawing");
        // The first sort by version reads every drawing's header.
        bench::Run(
            "sort a list just opened by version", 3, [&] { page_.SortByColumn(2); },
            [&] { page_.OpenListFile(full); }, kDrawings);
        for (int column = 0; column < 4; ++column)
            bench::Run(
                "sort by column " + std::to_string(column), 3, [&] { page_.SortByColumn(column); },
                {}, kDrawings);
        bench::Run(
            "Next: RefreshAllStatuses + CollectDrawings", 3,
            [&] {
                page_.RefreshAllStatuses();
                page_.CollectDrawings();
            },
            {}, kDrawings);
        bench::Check(AxvekApp().Drawings.size() == static_cast<size_t>(kDrawings),
                     "Next collected every drawing");
        clear();

        for (const std::wstring& path : paths) DeleteFileW(path.c_str());
        for (int t = 0; t < kTop; ++t) {
            const std::wstring top = tree + L"\\project-" + std::to_wstring(t);
            for (int s = 0; s < kSub; ++s)
                RemoveDirectoryW((top + L"\\assembly-" + std::to_wstring(s)).c_str());
            RemoveDirectoryW(top.c_str());
        }
        RemoveDirectoryW(tree.c_str());
        DeleteFileW(empty.c_str());
        DeleteFileW(full.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    CPageFiles& page_;
    std::wstring folder_;
};

}  // namespace

int wmain() {
    const auto resources = bench::EnglishResources();
    CAxvekTarvoProgram app;
    CPageFiles page(nullptr, app);
    BenchSheet sheet(page, bench::ScratchFolder(L"files"));
    sheet.DoModal();
    return 0;
}
