// Drawing list files of 100,000 entries: writing (directly and through a
// replacement), reading, marking, and for comparison reading the same file
// with one read call per byte.
//
//   scripts/wine-run.sh build/windows/bin/bench_dml_list.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchWin.h"
#include "drawings/AxvekFile.h"
#include "framework/File.h"
#include "framework/Resources.h"

namespace {

constexpr size_t kEntries = 100000;

std::vector<std::wstring> DrawingPaths() {
    std::vector<std::wstring> paths;
    paths.reserve(kEntries);
    for (size_t i = 0; i < kEntries; ++i) {
        paths.push_back(L"c:\\projects\\customer-" + std::to_wstring(i % 97) + L"\\assembly-" +
                        std::to_wstring(i % 13) + L"\\part-" + std::to_wstring(100000 + i) +
                        L".dwg");
    }
    return paths;
}

uint64_t FileSize(const std::wstring& path) {
    fw::CFile::Status status;
    return fw::CFile::GetStatus(path, status) ? status.Size : 0;
}

}  // namespace

int wmain() {
    const auto resources = bench::EnglishResources();

    const std::wstring folder = bench::ScratchFolder(L"list");
    const std::wstring list = folder + L"list.dml";
    const std::vector<std::wstring> paths = DrawingPaths();
    std::vector<std::wstring> done;
    for (size_t i = 0; i < paths.size(); i += 2) done.push_back(paths[i]);

    bench::Run(
        "WriteList, Open for writing", 5,
        [&] {
            AxvekDmlFile file(list);
            bench::Check(file.Open(true) && file.WriteList(paths), "WriteList");
        },
        {}, kEntries);
    std::printf("  list file: %llu bytes\n", static_cast<unsigned long long>(FileSize(list)));

    bench::Run(
        "WriteList, OpenReplacing + CommitReplace", 5,
        [&] {
            AxvekDmlFile file(list);
            bench::Check(file.OpenReplacing() && file.WriteList(paths) && file.CommitReplace(),
                         "replacing WriteList");
        },
        {}, kEntries);

    bench::Run(
        "ReadList", 5,
        [&] {
            AxvekDmlFile file(list);
            std::vector<std::wstring> entries;
            bench::Check(file.Open(false) && file.ReadList(entries, true), "ReadList");
            bench::Check(entries.size() == kEntries, "ReadList count");
        },
        {}, kEntries);

    bench::Run(
        "MarkList, half of the entries done", 5,
        [&] {
            AxvekDmlFile file(list);
            bench::Check(file.MarkList(done), "MarkList");
        },
        {}, kEntries);

    // What the one-byte-per-call reading would cost: the same bytes, one
    // ReadFile per byte, no decoding.
    bench::Run(
        "one ReadFile per byte (bytes only)", 1,
        [&] {
            fw::CFile file;
            bench::Check(file.Open(list, fw::CFile::modeRead), "open");
            unsigned char byte = 0;
            DWORD read = 0;
            uint64_t count = 0;
            while (file.Read(&byte, 1, &read) && read == 1) ++count;
            bench::Check(count == FileSize(list), "byte count");
        },
        {}, kEntries);

    DeleteFileW(list.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
