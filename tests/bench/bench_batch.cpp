// WriteBatchFile for a run of 20,000 selected drawings, in scan mode and in
// update mode, whose choice of tail looks every MIGRATE.TXT line up among the
// selected drawings; for comparison, that choice made by comparing a line
// with every selected drawing in turn.
//
//   scripts/wine-run.sh build/windows/bin/bench_batch.exe
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchWin.h"
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "core/Text.h"
#include "framework/File.h"
#include "framework/TextStream.h"
#include "host/Language.h"

namespace {

constexpr int kDrawings = 20000;
constexpr int kNaiveLines = 1000;

std::wstring DrawingPath(int i) {
    return L"C:\\Projects\\Customer " + std::to_wstring(i % 37) + L"\\Assemblies\\Part-" +
           std::to_wstring(100000 + i) + L".dwg";
}

// MIGRATE.TXT: the selected drawings, every other one in upper case, each
// followed by a reference that was not selected.
std::vector<std::wstring> MigrateLines() {
    std::vector<std::wstring> lines;
    for (int i = 0; i < kDrawings; ++i) {
        std::wstring path = DrawingPath(i);
        if (i % 2) CharUpperW(path.data());
        lines.push_back(path);
        lines.push_back(L"C:\\Projects\\Xrefs\\Ref-" + std::to_wstring(i) + L".dwg");
    }
    return lines;
}

uint64_t FileSize(const std::wstring& path) {
    fw::CFile::Status status;
    return fw::CFile::GetStatus(path, status) ? status.Size : 0;
}

}  // namespace

int wmain() {
    const auto resources = bench::EnglishResources();

    const std::wstring folder = bench::ScratchFolder(L"batch");
    _wputenv((L"TEMP=" + folder.substr(0, folder.size() - 1)).c_str());
    CAxvekTarvoProgram app;
    app.OrtxLocation = L"C:\\Program Files\\Kelvane\\Orthex R25.1";
    app.CounterFile = folder + L"vek1.tmp";
    app.DrawingScript = folder + L"vek3.scr";
    app.HeadScript = folder + L"vek4.scr";
    app.SearchFolders = {L"C:\\Standards\\Support\\", L"C:\\Program Files\\Kelvane\\Fonts"};
    app.Operation = 1;
    Logfile = folder + L"Mig.log";
    for (int i = 0; i < kDrawings; ++i) app.Drawings.push_back(DrawingPath(i));

    const std::vector<std::wstring> migrate = MigrateLines();
    {
        std::wstring all;
        for (const std::wstring& line : migrate) all += line + L"\n";
        fw::TextStream list(GetMigrateListPath(), fw::TextStream::Mode::Write,
                            SystemLanguageLocale());
        list.Write(all);
    }

    const std::wstring batch = folder + L"vek7.bat";
    const std::wstring mainTail = folder + L"vek5.scr", otherTail = folder + L"vek6.scr";
    bench::Run(
        "scan batch, 20,000 drawings", 5,
        [&] { app.WriteBatchFile(0, batch, mainTail, std::wstring(), true); }, {}, kDrawings);
    bench::Check(app.QueuedCount == kDrawings, "scan queued every drawing");
    bench::Run(
        "update batch, 40,000 lines (20,000 selected)", 5,
        [&] { app.WriteBatchFile(0, batch, mainTail, otherTail, false); }, {}, 2 * kDrawings);
    bench::Check(app.QueuedCount == 2 * kDrawings, "update queued every line");
    std::printf("update batch file: %llu bytes\n",
                static_cast<unsigned long long>(FileSize(batch)));

    // Comparing a line with every selected drawing instead, for the last 1,000
    // lines (half of them found near the end of the list, half never).
    int selected = 0;
    bench::Run(
        "choice by comparing with all, 1,000 lines", 3,
        [&] {
            selected = 0;
            for (size_t i = migrate.size() - kNaiveLines; i < migrate.size(); ++i) {
                for (const std::wstring& drawing : app.Drawings) {
                    if (text::EqualsNoCase(migrate[i], drawing)) {
                        ++selected;
                        break;
                    }
                }
            }
        },
        {}, kNaiveLines);
    bench::Keep(selected);

    for (const wchar_t* name : {L"vek7.bat", L"MIGRATE.TXT"}) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
