// CollectResults for a run of 20,000 selected drawings: MIGRATED.TXT with
// every one of them (half in other letter case) and 1,000 drawings that were
// not selected, each drawing's file looked at once (saved by the run, in the
// current format), the summary, and the user's list of 20,000 entries marked.
//
//   scripts/wine-run.sh build/windows/bin/bench_results.exe
#include <windows.h>

#include <string>
#include <vector>

#include "BenchWin.h"
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "drawings/AxvekFile.h"
#include "framework/File.h"
#include "framework/TextStream.h"
#include "host/Language.h"

namespace {

constexpr int kDrawings = 20000;
constexpr int kFolders = 37;

std::wstring g_root;  // the scratch folder, lower case

std::wstring FolderPath(int i) {
    return g_root + L"customer " + std::to_wstring(i % kFolders);
}

std::wstring DrawingPath(int i) {
    return FolderPath(i) + L"\\part-" + std::to_wstring(100000 + i) + L".dwg";
}

}  // namespace

int wmain() {
    const auto resources = bench::EnglishResources();

    const std::wstring folder = bench::ScratchFolder(L"results");
    _wputenv((L"TEMP=" + folder.substr(0, folder.size() - 1)).c_str());
    g_root = folder;
    CharLowerW(g_root.data());

    CAxvekTarvoProgram app;
    // The run started before the host saved each drawing in the current format.
    FILETIME started{};
    GetSystemTimeAsFileTime(&started);
    app.UpdateRunStarted =
        (static_cast<uint64_t>(started.dwHighDateTime) << 32) | started.dwLowDateTime;
    Sleep(2100);
    for (int i = 0; i < kFolders; ++i) CreateDirectoryW(FolderPath(i).c_str(), nullptr);
    const std::string drawing = "OX1032" + std::string(250, '\0');
    for (int i = 0; i < kDrawings; ++i) {
        fw::CFile file;
        bench::Check(file.Open(DrawingPath(i), fw::CFile::modeCreate | fw::CFile::modeWrite) &&
                         file.Write(drawing.data(), static_cast<DWORD>(drawing.size())),
                     "drawing written");
    }
    Logfile = folder + L"Mig.log";
    for (int i = 0; i < kDrawings; ++i) app.Drawings.push_back(DrawingPath(i));
    app.DmlFile = folder + L"users list.dml";
    {
        AxvekDmlFile list(app.DmlFile);
        bench::Check(list.Open(true) && list.WriteList(app.Drawings), "user list written");
    }
    {
        std::wstring all;
        for (int i = 0; i < kDrawings; ++i) {
            std::wstring line = DrawingPath(i);
            if (i % 2) CharUpperW(line.data());
            all += line + L"\n";
            if (i % 20 == 0) all += L"c:\\projects\\xrefs\\ref-" + std::to_wstring(i) + L".dwg\n";
        }
        fw::TextStream migrated(GetMigratedListPath(), fw::TextStream::Mode::Write,
                                SystemLanguageLocale());
        migrated.Write(all);
    }

    bench::Run(
        "collect results, 20,000 drawings", 5, [&] { app.CollectResults(); },
        [&] { DeleteFileW(Logfile.c_str()); }, kDrawings);

    std::vector<std::wstring> marked;
    {
        AxvekDmlFile list(app.DmlFile);
        bench::Check(list.Open(false) && list.ReadList(marked, true), "user list read back");
    }
    bench::Check(marked.empty(), "every drawing marked");

    for (const std::wstring& name : {Logfile, app.DmlFile, GetMigratedListPath()})
        DeleteFileW(name.c_str());
    for (int i = 0; i < kDrawings; ++i) DeleteFileW(DrawingPath(i).c_str());
    for (int i = 0; i < kFolders; ++i) RemoveDirectoryW(FolderPath(i).c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
