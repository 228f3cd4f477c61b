#include "framework/Resources.h"

#include "framework/FrameworkIds.h"

namespace fw {

namespace {
HINSTANCE g_resourceHandle = nullptr;
}

HINSTANCE ResourceHandle() {
    return g_resourceHandle ? g_resourceHandle : GetModuleHandleW(nullptr);
}

void SetResourceHandle(HINSTANCE module) {
    g_resourceHandle = module;
}

std::wstring LoadResString(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, so there is no length limit to get wrong.
    const wchar_t* text = nullptr;
    int length = LoadStringW(ResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring FormatResString(UINT id, std::initializer_list<text::FormatArg> args) {
    return text::Format(LoadResString(id), args);
}

std::wstring FileErrorReason(FileCause cause) {
    const int c = static_cast<int>(cause);
    return LoadResString(c >= 1 && c <= 14
                             ? static_cast<UINT>(IDS_FILE_ERROR) + static_cast<UINT>(c)
                             : static_cast<UINT>(IDS_FILE_ERROR_GENERIC));
}

int ShowMessage(const std::wstring& message, UINT flags, HWND owner) {
    return MessageBoxW(owner, message.c_str(), LoadResString(IDS_CAPTION).c_str(), flags);
}

}  // namespace fw
