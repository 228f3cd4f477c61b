#include "wizard/Preview.h"

#include <commctrl.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "drawings/core/PreviewCore.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "support/Pixels.h"
#include "support/WinTest.h"
#include "wizard/core/DrawingItem.h"

using namespace testenv;

namespace {

std::string DrawingBytes(standin::Preview kind, int width, int height, unsigned seed) {
    standin::DrawingSpec spec;
    spec.Version = "OX1021";
    spec.PreviewKind = kind;
    spec.Width = width;
    spec.Height = height;
    spec.Seed = seed;
    const std::vector<uint8_t> b = standin::WriteDrawing(spec);
    return std::string(b.begin(), b.end());
}

// The image the reader makes of a drawing, top row first.
Pixels PictureOf(const std::string& drawing) {
    const std::vector<uint8_t> bytes(drawing.begin(), drawing.end());
    MemorySource source(bytes);
    const std::vector<uint8_t> block = PreviewCore().Load(source);
    Pixels p;
    if (block.size() < kInfoHeaderSize) return p;
    BITMAPINFOHEADER h{};
    std::memcpy(&h, block.data(), sizeof h);
    const size_t colours = h.biClrUsed ? h.biClrUsed : 256;
    const auto* table = reinterpret_cast<const RGBQUAD*>(block.data() + kInfoHeaderSize);
    const uint8_t* rows = block.data() + kInfoHeaderSize + colours * 4;
    p.Width = h.biWidth;
    p.Height = std::abs(h.biHeight);
    const size_t stride = (static_cast<size_t>(p.Width) + 3) / 4 * 4;
    for (int y = 0; y < p.Height; ++y) {
        const uint8_t* row = rows + stride * (h.biHeight > 0 ? p.Height - 1 - y : y);
        for (int x = 0; x < p.Width; ++x) {
            const RGBQUAD& c = table[row[x]];
            p.Rgb.push_back((uint32_t{c.rgbRed} << 16) | (c.rgbGreen << 8) | c.rgbBlue);
        }
    }
    return p;
}

// The pixels of a shown control that are not as they should be: the face
// colour outside dest; inside it (when the picture is given) the picture
// stretched over dest, each pixel give or take one source pixel.
int Wrong(const Pixels& shown, const RECT& dest, const Pixels* picture) {
    const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int wrong = 0;
    for (int y = 0; y < shown.Height; ++y)
        for (int x = 0; x < shown.Width; ++x) {
            const bool inside =
                x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
            if (!inside) {
                wrong += shown.At(x, y) != face;
                continue;
            }
            if (!picture) continue;
            const int px = (x - dest.left) * picture->Width / dw;
            const int py = (y - dest.top) * picture->Height / dh;
            int best = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int qx = px + dx, qy = py + dy;
                    if (qx >= 0 && qy >= 0 && qx < picture->Width && qy < picture->Height)
                        best = std::min(best, ChannelDistance(shown.At(x, y), picture->At(qx, qy)));
                }
            wrong += best > 2;
        }
    return wrong;
}

int WrongUnlessFaceOnly(const Pixels& shown) {
    return Wrong(shown, RECT{}, nullptr);
}

}  // namespace

// A frame with a report list whose items carry DrawingItems, and previews on
// statics of the sizes a test asks for.
class PreviewTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        frame_ = ShowTestFrame(900, 560);
        ASSERT_TRUE(frame_);
        HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10,
                                    260, 308, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(list_.SubclassWindow(list));
        list_.InsertColumn(0, L"Name", LVCFMT_LEFT, 240);
    }
    void TearDown() override {
        previews_.clear();
        DestroyWindow(frame_);  // deletes the items; the test owns their data
        WinTest::TearDown();
    }

    CPreview& Preview(int width = 308, int height = 308, int x = 280, int y = 10) {
        HWND s = CreateWindowW(L"Static", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, frame_,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        previews_.push_back(std::make_unique<CPreview>());
        CPreview& preview = *previews_.back();
        EXPECT_TRUE(preview.SubclassWindow(s));
        preview.List = &list_;
        return preview;
    }
    // An item for the drawing at path; the bytes (none: no file) written there.
    int Item(const std::wstring& path, const std::string* bytes, bool missing = false) {
        if (bytes) WriteBytes(path, *bytes);
        auto item = std::make_unique<DrawingItem>();
        const size_t slash = path.find_last_of(L'\\');
        item->Folder = path.substr(0, slash + 1);
        item->Name = path.substr(slash + 1, path.size() - slash - 5);  // without ".dwg"
        item->Missing = missing;
        const int index = list_.InsertItem(list_.GetItemCount(), item->Name,
                                           reinterpret_cast<LPARAM>(item.get()));
        items_.push_back(std::move(item));
        return index;
    }
    void Select(const std::vector<int>& indices) {
        list_.SetItemState(-1, 0, LVIS_SELECTED);
        for (int i : indices) list_.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    }
    // What the page does on a change of the selection, and what then shows.
    Pixels Shown(CPreview& preview) {
        preview.Invalidate();
        return Capture(preview.GetSafeHwnd());
    }

    HWND frame_ = nullptr;
    fw::CListCtrl list_;
    std::vector<std::unique_ptr<DrawingItem>> items_;
    std::vector<std::unique_ptr<CPreview>> previews_;
};

TEST_F(PreviewTest, ImageIsScaledToFitInsideTheMarginAndCentred) {
    ScratchDir dir;
    const struct {
        const wchar_t* Name;
        int ImageWidth, ImageHeight;
        int ControlWidth, ControlHeight;
        RECT Dest;
        bool Enlarged;  // else shrunk, which merges pixels: only the place is checked
    } cases[] = {
        // 300 x 300 inside the margin: drawn 300 x 200, 50 pixels below its top.
        {L"wide.dwg", 180, 120, 308, 308, {4, 54, 304, 254}, true},
        // The same drawing, last drawn in the other size: drawn anew, not copied.
        {L"wide.dwg", 180, 120, 208, 158, {4, 12, 204, 145}, true},
        {L"tall.dwg", 120, 180, 308, 308, {54, 4, 254, 304}, true},
        {L"large.dwg", 1024, 768, 308, 308, {4, 41, 304, 266}, false},
        {L"strip.dwg", 600, 100, 308, 308, {4, 129, 304, 179}, false},
    };
    for (const auto& c : cases) {
        const std::string bytes =
            DrawingBytes(standin::Preview::Bmp8, c.ImageWidth, c.ImageHeight, 1);
        const Pixels picture = PictureOf(bytes);
        ASSERT_EQ(picture.Width, c.ImageWidth);
        CPreview& preview = Preview(c.ControlWidth, c.ControlHeight);
        Select({Item(dir / c.Name, &bytes)});
        const Pixels shown = Shown(preview);
        DestroyWindow(preview.GetSafeHwnd());  // room for the next one
        ASSERT_EQ(shown.Width, c.ControlWidth);
        EXPECT_EQ(Wrong(shown, c.Dest, c.Enlarged ? &picture : nullptr), 0) << Narrow(c.Name);
        if (c.Enlarged) continue;
        // Every edge of the destination holds some of the picture.
        const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
        int edges[4] = {};
        for (int px = c.Dest.left; px < c.Dest.right; ++px) {
            edges[0] += shown.At(px, c.Dest.top) != face;
            edges[1] += shown.At(px, c.Dest.bottom - 1) != face;
        }
        for (int py = c.Dest.top; py < c.Dest.bottom; ++py) {
            edges[2] += shown.At(c.Dest.left, py) != face;
            edges[3] += shown.At(c.Dest.right - 1, py) != face;
        }
        for (int e : edges) EXPECT_GT(e, 0) << Narrow(c.Name);
    }
}

TEST_F(PreviewTest, FaceColourUnlessExactlyOneDrawingThatIsThereIsSelected) {
    ScratchDir dir;
    const std::string a = DrawingBytes(standin::Preview::Bmp8, 180, 120, 1);
    const std::string other = DrawingBytes(standin::Preview::Bmp8, 180, 120, 2);
    const std::string none = DrawingBytes(standin::Preview::None, 180, 120, 0);
    const RECT dest{4, 54, 304, 254};
    CPreview& preview = Preview();
    const int itemA = Item(dir / L"a.dwg", &a);
    const int itemB = Item(dir / L"b.dwg", &other);
    // Missing by its status, whatever the disk holds now.
    const int missing = Item(dir / L"missing.dwg", &other, true);
    const int gone = Item(dir / L"gone.dwg", nullptr);
    const int noPreview = Item(dir / L"no preview.dwg", &none);

    Select({itemA});
    const Pixels pictureA = PictureOf(a);
    ASSERT_EQ(Wrong(Shown(preview), dest, &pictureA), 0);
    WriteBytes(dir / L"a.dwg", other);
    const struct {
        const char* What;
        std::vector<int> Selected;
    } empty[] = {
        {"nothing selected", {}}, {"two selected", {itemA, itemB}}, {"missing", {missing}}};
    for (const auto& c : empty) {
        Select(c.Selected);
        EXPECT_EQ(WrongUnlessFaceOnly(Shown(preview)), 0) << c.What;
    }
    // None of them replaced the copy: A comes back as first read.
    Select({itemA});
    EXPECT_EQ(Wrong(Shown(preview), dest, &pictureA), 0);

    Select({gone});
    EXPECT_EQ(WrongUnlessFaceOnly(Shown(preview)), 0) << "gone";
    Select({noPreview});
    EXPECT_EQ(WrongUnlessFaceOnly(Shown(preview)), 0) << "no preview";
    // The empty area is what was drawn; it is repainted without a read.
    WriteBytes(dir / L"no preview.dwg", a);
    EXPECT_EQ(WrongUnlessFaceOnly(Shown(preview)), 0) << "no preview, repainted";
}

TEST_F(PreviewTest, ADrawingIsReadAgainOnlyAfterAnotherWasDrawn) {
    ScratchDir dir;
    const std::string first = DrawingBytes(standin::Preview::Bmp8, 180, 120, 1);
    const std::string second = DrawingBytes(standin::Preview::Bmp24, 180, 120, 3);
    const std::string b = DrawingBytes(standin::Preview::Rle8, 180, 120, 2);
    const Pixels firstPicture = PictureOf(first), secondPicture = PictureOf(second);
    const RECT dest{4, 54, 304, 254};
    CPreview& preview = Preview();
    const int itemA = Item(dir / L"a.dwg", &first);
    const int itemB = Item(dir / L"b.dwg", &b);

    Select({itemA});
    ASSERT_EQ(Wrong(Shown(preview), dest, &firstPicture), 0);
    // The two versions of A tell apart.
    ASSERT_GT(Wrong(Shown(preview), dest, &secondPicture), 1000);
    // Repainting while A stays selected does not read it again.
    WriteBytes(dir / L"a.dwg", second);
    EXPECT_EQ(Wrong(Shown(preview), dest, &firstPicture), 0);
    const Pixels pictureB = PictureOf(b);
    Select({itemB});
    EXPECT_EQ(Wrong(Shown(preview), dest, &pictureB), 0);
    // After B, A is read again.
    Select({itemA});
    EXPECT_EQ(Wrong(Shown(preview), dest, &secondPicture), 0);
}

TEST_F(PreviewTest, TheCopyKeptIsTheWholeImageWhenPartOfTheControlWasOffTheScreen) {
    ScratchDir dir;
    const std::string a = DrawingBytes(standin::Preview::Bmp8, 180, 120, 1);
    const Pixels picture = PictureOf(a);
    CPreview& preview = Preview();
    const int item = Item(dir / L"a.dwg", &a);
    // The right half of the control past the screen's edge while it is drawn.
    const int left = GetSystemMetrics(SM_CXSCREEN) - 280 - 154;
    SetWindowPos(frame_, nullptr, left, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Select({item});
    preview.Invalidate();
    UpdateWindow(preview.GetSafeHwnd());
    SetWindowPos(frame_, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Wrong(Shown(preview), RECT{4, 54, 304, 254}, &picture), 0);
}
