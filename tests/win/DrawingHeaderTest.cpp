#include "drawings/DrawingHeader.h"

#include <cstring>

#include "drawings/core/PreviewCore.h"
#include "framework/Resources.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

class DrawingHeader : public WinTest {};

std::string DrawingBytes(const std::string& version, uint8_t release,
                         standin::Preview preview = standin::Preview::Bmp8, int width = 32,
                         int height = 24) {
    standin::DrawingSpec spec;
    spec.Version = version;
    spec.Release = release;
    spec.PreviewKind = preview;
    spec.Width = width;
    spec.Height = height;
    const std::vector<uint8_t> b = standin::WriteDrawing(spec);
    return std::string(b.begin(), b.end());
}

int32_t WidthOf(const std::vector<uint8_t>& block) {
    if (block.size() < kInfoHeaderSize) return 0;
    int32_t width = 0;
    std::memcpy(&width, block.data() + 4, 4);
    return width;
}

}  // namespace

TEST_F(DrawingHeader, VersionTextOfFilesOnDisk) {
    ScratchDir dir;
    const struct {
        const wchar_t* Name;
        std::string Bytes;  // empty: no file
        std::wstring Text;
    } cases[] = {
        {L"release 7.dwg", DrawingBytes("OX1015", 7), L"Kelvane Mechanical 2"},
        {L"release 15.dwg", DrawingBytes("OX1015", 15), L""},
        {L"current.dwg", DrawingBytes("OX1032", 3), L"Kelvane Mechanical 17 or later"},
        {L"lower case.dwg", DrawingBytes("ox1032", 3), L"Older or unknown format"},
        {L"short.dwg", "OX1", L"Older or unknown format"},
        {L"empty.dwg", "", L"Older or unknown format"},
        {L"missing.dwg", "", L"Older or unknown format"},
    };
    for (const auto& c : cases) {
        if (std::wstring(c.Name) != L"missing.dwg") WriteBytes(dir / c.Name, c.Bytes);
        EXPECT_EQ(VersionText(dir / c.Name), c.Text) << Narrow(c.Name);
    }
}

TEST_F(DrawingHeader, VersionTextOfAFileThatCannotBeOpened) {
    ScratchDir dir;
    const std::wstring path = dir / L"locked.dwg";
    WriteBytes(path, DrawingBytes("OX1015", 7));
    HANDLE locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(VersionText(path), L"Older or unknown format");
    CloseHandle(locked);
    EXPECT_EQ(VersionText(path), L"Kelvane Mechanical 2");
}

TEST_F(DrawingHeader, EveryVersionTextInBothLanguages) {
    for (const wchar_t* language : {L"en-US", L"de-DE"}) {
        HMODULE library = LoadLibraryW(ResourceLibraryFile(language).c_str());
        ASSERT_NE(library, nullptr);
        ResourceLibraryScope scope(library);
        for (unsigned id = IDS_VERSION_OTHER; id <= IDS_VERSION_OX1032; ++id) {
            if (id > IDS_VERSION_OX1027_A && id < IDS_VERSION_OX1027_B) continue;  // other texts
            EXPECT_FALSE(fw::LoadResString(id).empty()) << Narrow(language) << " " << id;
        }
        const std::wstring other = fw::LoadResString(IDS_VERSION_OTHER);
        EXPECT_EQ(other, std::wstring(language) == L"de-DE"
                             ? L"\u00c4lteres oder unbekanntes Format"
                             : L"Older or unknown format");
    }
}

TEST_F(DrawingHeader, PreviewByWideNameWithoutHoldingTheFile) {
    ScratchDir dir;
    const std::wstring path = dir / L"B\u00fcgel \u00d8 20.dwg";
    WriteBytes(path, DrawingBytes("OX1018", 40, standin::Preview::Bmp24, 33, 21));
    PreviewCore core;
    EXPECT_EQ(WidthOf(core.Load(path)), 33);
    // Nothing stays open: the drawing can go at once.
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_TRUE(core.Load(path).empty());
}

TEST_F(DrawingHeader, PreviewOfADrawingOpenForWriting) {
    ScratchDir dir;
    const std::wstring path = dir / L"open.dwg";
    WriteBytes(path, DrawingBytes("OX1024", 50, standin::Preview::Rle8, 40, 30));
    HANDLE writer =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    PreviewCore core;
    EXPECT_EQ(WidthOf(core.Load(path)), 40);
    CloseHandle(writer);
}
