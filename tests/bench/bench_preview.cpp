// PreviewCore::Load of a 24-bit 1024 x 768 preview stored in a drawing: from
// the file (open, find, read 2.3 MB, reduce with dithering, close) and from
// memory (the decoding alone); an 8-bit and an RLE8 preview of the same size
// beside it. Then the preview control painting such a drawing into its
// 300 x 300 area: a drawing selected anew (read, reduce, stretch, keep a copy)
// and a repaint from the copy. The paints need a display (DISPLAY under Wine).
//
//   scripts/wine-run.sh build/windows/bin/bench_preview.exe
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "BenchWin.h"
#include "drawings/core/PreviewCore.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "wizard/core/DrawingItem.h"
#include "wizard/Preview.h"

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

// Two 24-bit drawings in a list beside a 308 x 308 preview; each paint of
// the other one reads it.
void PaintBench(const std::wstring& folder) {
    const std::wstring paths[2] = {folder + L"a.dwg", folder + L"b.dwg"};
    WriteFileBytes(paths[0], Drawing(standin::Preview::Bmp24));
    WriteFileBytes(paths[1], Drawing(standin::Preview::Bmp24));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND frame = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 640,
                                 330, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame) {
        std::printf("preview paint: no window (no display?), not measured\n");
        return;
    }
    fw::CListCtrl list;
    list.SubclassWindow(CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                      300, 308, frame, nullptr, GetModuleHandleW(nullptr),
                                      nullptr));
    DrawingItem items[2];
    for (int i = 0; i < 2; ++i) {
        items[i].Folder = folder;
        items[i].Name = i ? L"b" : L"a";
        list.InsertItem(i, items[i].Name, reinterpret_cast<LPARAM>(&items[i]));
    }
    CPreview preview;
    preview.SubclassWindow(CreateWindowW(L"Static", L"", WS_CHILD | WS_VISIBLE, 310, 0, 308, 308,
                                         frame, nullptr, GetModuleHandleW(nullptr), nullptr));
    preview.List = &list;
    int shown = 0;
    const auto paint = [&] {
        preview.Invalidate();
        UpdateWindow(preview.GetSafeHwnd());
        GdiFlush();
    };
    const auto select = [&](int item) {
        list.SetItemState(-1, 0, LVIS_SELECTED);
        list.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
    };
    bench::Run("Paint 1024 x 768, 24 bits, 300 x 300, new", 20, paint, [&] { select(shown ^= 1); });
    bench::Run("Paint 1024 x 768, 24 bits, 300 x 300, again", 20, paint);
    DestroyWindow(frame);
    for (const std::wstring& path : paths) DeleteFileW(path.c_str());
}

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
    PaintBench(folder);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
