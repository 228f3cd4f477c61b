#include "wizard/HelpDlg.h"

#include <cwchar>
#include <utility>

#include "framework/DataExchange.h"
#include "framework/File.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/Language.h"
#include "resources/ids.h"
#include "wizard/core/HelpText.h"

namespace {

// More than any help text needs; a larger file shows its beginning.
constexpr DWORD kMaxHelpBytes = 4u << 20;

RECT WindowRectIn(HWND window, HWND parent) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

bool CHelpEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_SETFOCUS) {
        result = 0;
        return true;
    }
    return CEdit::WindowProc(msg, wp, lp, result);
}

CHelpDlg::CHelpDlg(std::wstring hostFolder, HWND parent)
    : CDialog(IDD_HELP, parent), hostFolder_(std::move(hostFolder)) {}

CHelpDlg::~CHelpDlg() {
    // The window goes before the icons, the font and the picture it shows;
    // the picture control gets back the bitmap it came with.
    if (templatePicture_ && picture_.GetSafeHwnd())
        ::SendMessageW(picture_.GetSafeHwnd(), STM_SETIMAGE, IMAGE_BITMAP,
                       reinterpret_cast<LPARAM>(templatePicture_));
    if (GetSafeHwnd()) DestroyWindow(GetSafeHwnd());
}

std::wstring CHelpDlg::HelpFilePath(const std::wstring& hostFolder) {
    return hostFolder + L"\\migration\\dwgmigr.txt";
}

std::wstring CHelpDlg::ReadHelpText(const std::wstring& path) {
    fw::CFile file;
    if (!file.Open(path, fw::CFile::modeRead | fw::CFile::shareDenyNone)) return std::wstring();
    std::string bytes;
    char chunk[16384];
    DWORD got = 0;
    while (bytes.size() < kMaxHelpBytes && file.Read(chunk, sizeof chunk, &got) && got > 0)
        bytes.append(chunk, got);
    if (bytes.size() > kMaxHelpBytes) bytes.resize(kMaxHelpBytes);
    // Decoded as a whole, so that a double-byte character is never split.
    return HelpTextForDisplay(fw::TextStream::Decode(bytes, SystemLanguageLocale()));
}

UINT CHelpDlg::PictureForDepth(int planes, int bitsPerPixel) {
    int depth = planes * bitsPerPixel;
    if (depth > 31) depth = 31;
    const long long colours = depth <= 0 ? 1 : 1LL << depth;
    return colours < 256 ? IDB_HELP_PICTURE_16 : IDB_HELP_PICTURE;
}

void CHelpDlg::DoDataExchange(fw::CDataExchange& dx) {
    fw::DDX_Control(dx, IDC_HELP_TEXT, text_);
    fw::DDX_Control(dx, IDC_HELP_PICTURE, picture_);
    fw::DDX_Text(dx, IDC_HELP_TEXT, helpText_);
}

BOOL CHelpDlg::OnInitDialog() {
    helpText_ = ReadHelpText(HelpFilePath(hostFolder_));
    CDialog::OnInitDialog();

    largeIcon_ = fw::LoadResIcon(IDI_HELP_LARGE);
    smallIcon_ = fw::LoadResIcon(IDI_HELP_SMALL, GetSystemMetrics(SM_CXSMICON),
                                 GetSystemMetrics(SM_CYSMICON));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    {
        fw::CClientDC screen(nullptr);
        bitmap_.LoadBitmap(PictureForDepth(GetDeviceCaps(screen.Get(), PLANES),
                                           GetDeviceCaps(screen.Get(), BITSPIXEL)));
    }
    ScalePicture();
    SizeToPicture();
    SetTextFont();
    if (HWND close = GetDlgItem(IDCANCEL)) ::SetFocus(close);
    return FALSE;
}

void CHelpDlg::ScalePicture() {
    // The template's picture is drawn for the normal screen size; on a
    // larger one it grows as the window does.
    const HWND picture = picture_.GetSafeHwnd();
    if (!picture) return;
    const auto own =
        reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (!own || !GetObjectW(own, sizeof info, &info)) return;
    const SIZE size = fw::ScaledForScreen(SIZE{info.bmWidth, info.bmHeight});
    if (size.cx == info.bmWidth && size.cy == info.bmHeight) return;
    if (!shownPicture_.CreateScaled(own, size)) return;
    templatePicture_ = reinterpret_cast<HBITMAP>(::SendMessageW(
        picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shownPicture_.Get())));
}

void CHelpDlg::SizeToPicture() {
    SIZE picture{};
    if (!bitmap_.GetSize(picture) || !text_.GetSafeHwnd()) return;
    picture = fw::ScaledForScreen(picture);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    // The rectangle of a client area that wide, as a window with the
    // dialog's borders.
    auto withBorders = [&](int height) {
        RECT r{0, 0, picture.cx + 2, height};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        return r;
    };

    // Close keeps its distance from the bottom right corner.
    const HWND close = GetDlgItem(IDCANCEL);
    const RECT clientBefore = GetClientRect();
    const RECT closeBefore = close ? WindowRectIn(close, hwnd_) : RECT{};

    const RECT dialog = GetWindowRect();
    const RECT sized = withBorders(dialog.bottom - dialog.top);
    SetWindowPos(hwnd_, nullptr, 0, 0, sized.right - sized.left + 2, sized.bottom - sized.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT view = text_.GetWindowRect();
    const RECT viewSized = withBorders(view.bottom - view.top);
    SetWindowPos(text_.GetSafeHwnd(), nullptr, 0, 0, viewSized.right - viewSized.left - 8,
                 viewSized.bottom - viewSized.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (close) {
        const RECT client = GetClientRect();
        SetWindowPos(close, nullptr, closeBefore.left + (client.right - clientBefore.right),
                     closeBefore.top + (client.bottom - clientBefore.bottom), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CHelpDlg::SetTextFont() {
    const HFONT current = text_.GetFont();
    LOGFONTW description{};
    if (!current || !GetObjectW(current, sizeof description, &description)) return;
    const std::wstring face = fw::LoadResString(IDS_HELP_FONT);
    if (face.empty()) return;
    wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    if (font_.CreateIndirect(description)) text_.SetFont(font_.Get(), true);
}
