#include "wizard/PaintedControls.h"

#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/Pixels.h"
#include "support/WinTest.h"

using namespace testenv;

class PaintedControlsTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        frame_ = ShowTestFrame(760, 720);
        ASSERT_TRUE(frame_);
        font_ =
            CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    }
    void TearDown() override {
        DestroyWindow(frame_);
        DeleteObject(font_);
        WinTest::TearDown();
    }
    HWND Static(const wchar_t* text, int x, int y, int w, int h) {
        HWND s = CreateWindowW(L"Static", text, WS_CHILD | WS_VISIBLE | SS_LEFT, x, y, w, h, frame_,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(s, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return s;
    }
    Pixels Resource(UINT id) {
        HBITMAP b = static_cast<HBITMAP>(LoadImageW(fw::ResourceHandle(), MAKEINTRESOURCEW(id),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        Pixels p = BitmapPixels(b);
        DeleteObject(b);
        return p;
    }

    HWND frame_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(PaintedControlsTest, WizardPictureIsStretchedOverTheWholeControl) {
    const Pixels picture = Resource(IDB_WIZARD_PICTURE);
    ASSERT_GT(picture.Width, 0);
    // Twice the size, and squeezed to half the height at the same width.
    const SIZE sizes[] = {{picture.Width * 2, picture.Height * 2},
                          {picture.Width, picture.Height / 2}};
    int x = 10;
    for (const SIZE& size : sizes) {
        CWizardBmp control;
        ASSERT_TRUE(control.SubclassWindow(Static(L"", x, 10, size.cx, size.cy)));
        const Pixels shown = Capture(control.GetSafeHwnd());
        ASSERT_EQ(shown.Width, size.cx);
        int wrong = 0;
        for (int y = 0; y < shown.Height; y += 3) {
            for (int sx = 0; sx < shown.Width; sx += 3) {
                // The source pixel this one stretches, give or take one.
                const int px = sx * picture.Width / shown.Width;
                const int py = y * picture.Height / shown.Height;
                int best = 255;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int qx = px + dx, qy = py + dy;
                        if (qx >= 0 && qy >= 0 && qx < picture.Width && qy < picture.Height)
                            best = std::min(best,
                                            ChannelDistance(shown.At(sx, y), picture.At(qx, qy)));
                    }
                wrong += best > 2;
            }
        }
        EXPECT_EQ(wrong, 0) << size.cx << " x " << size.cy;
        x += size.cx + 10;
    }
}

TEST_F(PaintedControlsTest, WizardPictureMissingAtOnePaintIsLoadedAtTheNext) {
    CWizardBmp control;
    ASSERT_TRUE(control.SubclassWindow(Static(L"", 10, 10, 82, 157)));
    const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    fw::SetResourceHandle(GetModuleHandleW(nullptr));  // a module without the picture
    const Pixels empty = Capture(control.GetSafeHwnd());
    EXPECT_EQ(std::count(empty.Rgb.begin(), empty.Rgb.end(), face),
              static_cast<long>(empty.Rgb.size()));
    fw::SetResourceHandle(resources_->Library());
    control.Invalidate();
    const Pixels shown = Capture(control.GetSafeHwnd());
    EXPECT_LT(std::count(shown.Rgb.begin(), shown.Rgb.end(), face), 10);
}

TEST_F(PaintedControlsTest, EmblemKeepsItsSizeAndItsWhiteTurnsIntoTheFaceColour) {
    const Pixels emblem = Resource(IDB_EMBLEM);
    ASSERT_GT(emblem.Width, 0);
    CTranspBmp control;
    ASSERT_TRUE(control.SubclassWindow(Static(L"", 30, 40, emblem.Width + 40, emblem.Height + 30)));
    const Pixels shown = Capture(control.GetSafeHwnd());
    const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    int white = 0, wrong = 0;
    for (int y = 0; y < shown.Height; ++y)
        for (int x = 0; x < shown.Width; ++x) {
            const bool inside = x < emblem.Width && y < emblem.Height;
            const uint32_t source = inside ? emblem.At(x, y) : face;
            white += inside && source == 0xFFFFFF;
            wrong += shown.At(x, y) != (source == 0xFFFFFF ? face : source);
        }
    EXPECT_GT(white, 100);
    EXPECT_EQ(wrong, 0);
}

TEST_F(PaintedControlsTest, HeadingTurnsBoldAndBackWithoutRemnants) {
    CBoldTxt heading;
    ASSERT_TRUE(heading.SubclassWindow(Static(L"Choose the drawings to migrate", 10, 10, 320, 20)));
    EXPECT_FALSE(heading.IsBold());
    const Pixels normal = Capture(heading.GetSafeHwnd());
    ASSERT_GT(OffFacePixels(normal), 50);

    heading.SetBold(true);
    const Pixels bold = Capture(heading.GetSafeHwnd());
    EXPECT_GT(OffFacePixels(bold), OffFacePixels(normal) * 11 / 10);

    heading.SetBold(false);
    EXPECT_TRUE(Capture(heading.GetSafeHwnd()) == normal) << "bold pixels left behind";

    // The same weight again asks for no repaint.
    ValidateRect(heading.GetSafeHwnd(), nullptr);
    heading.SetBold(false);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(heading.GetSafeHwnd(), &update, FALSE));
    heading.SetBold(true);
    EXPECT_TRUE(GetUpdateRect(heading.GetSafeHwnd(), &update, FALSE));
}

namespace {
// A window painted the way a minimised wizard or run monitor paints itself.
class IconPainter : public fw::CWnd {
  public:
    HICON icon = nullptr;

  protected:
    bool OnPaint() override {
        fw::PaintIconCentred(GetSafeHwnd(), icon);
        return true;
    }
};
}  // namespace

TEST_F(PaintedControlsTest, WizardIconComesInBothSizesAndPaintsCentred) {
    fw::UniqueIcon large = fw::LoadResIcon(IDI_WIZARD);
    fw::UniqueIcon small =
        fw::LoadResIcon(IDI_WIZARD, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    ASSERT_TRUE(large && small);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(small.Get(), &info));
    EXPECT_EQ(BitmapPixels(info.hbmColor).Width, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    IconPainter window;
    window.icon = large.Get();
    ASSERT_TRUE(window.SubclassWindow(Static(L"", 10, 10, 101, 80)));
    const Pixels shown = Capture(window.GetSafeHwnd());
    // The same icon drawn on the same background, at (101 - w + 1) / 2, (80 - h + 1) / 2.
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    const int x0 = (101 - w + 1) / 2, y0 = (80 - h + 1) / 2;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, canvas);
    HBRUSH background = CreateSolidBrush(
        RGB(shown.At(0, 0) >> 16, (shown.At(0, 0) >> 8) & 0xFF, shown.At(0, 0) & 0xFF));
    RECT all{0, 0, w, h};
    FillRect(memory, &all, background);
    DrawIcon(memory, 0, 0, large.Get());
    SelectObject(memory, old);
    const Pixels expected = BitmapPixels(canvas);
    DeleteObject(background);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    int wrong = 0, ink = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            wrong += ChannelDistance(shown.At(x0 + x, y0 + y), expected.At(x, y)) > 2;
            ink += expected.At(x, y) != shown.At(0, 0);
        }
    EXPECT_GT(ink, w * h / 4);
    EXPECT_EQ(wrong, 0);
}
