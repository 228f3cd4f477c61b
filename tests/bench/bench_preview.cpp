// PreviewCore::Load of a 24-bit 1024 x 768 preview stored in a drawing: from
// the file (open, find, read 2.3 MB, reduce with dithering, close) and from
// memory (the decoding alone); an 8-bit and an RLE8 preview of the same size
// beside it.
//
//   scripts/wine-run.sh build/windows/bin/bench_preview.exe
#include <windows.h>

#include <string>
#include <vector>

#include "BenchWin.h"
#include "drawings/core/PreviewCore.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

namespace {

std::vector<uint8_t> Drawing(standin::Preview kind) {
    standin::DrawingSpec spec;
    spec.Version = "OX1027";
    spec.PreviewKind = kind;
    spec.Width = 1024;
    spec.Height = 768;
    return standin::WriteDrawing(spec);
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bench::Check(file != INVALID_HANDLE_VALUE, "write the drawing");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    bench::Check(written == bytes.size(), "write the whole drawing");
}

// A 1024 x 768 8-bit block with the 256 colours.
constexpr size_t kResultBytes = 40 + 1024 + 1024 * 768;

}  // namespace

int wmain() {
    const std::wstring folder = bench::ScratchFolder(L"preview");
    const struct {
        const char* Name;
        standin::Preview Kind;
    } kinds[] = {{"24 bits", standin::Preview::Bmp24},
                 {"8 bits", standin::Preview::Bmp8},
                 {"RLE8", standin::Preview::Rle8}};
    for (const auto& k : kinds) {
        const std::vector<uint8_t> bytes = Drawing(k.Kind);
        const std::wstring path = folder + L"preview.dwg";
        WriteFileBytes(path, bytes);
        PreviewCore core;
        bench::Check(core.Load(path).size() == kResultBytes, "the preview loads");
        bench::Run(std::string("Load, 1024 x 768, ") + k.Name + ", file", 20,
                   [&] { bench::Keep(core.Load(path)); });
        MemorySource memory(bytes);
        bench::Run(std::string("Load, 1024 x 768, ") + k.Name + ", memory", 20,
                   [&] { bench::Keep(core.Load(memory)); });
        DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    return 0;
}
