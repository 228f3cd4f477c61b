// Stand-in for the host maker's user-data library: the three calls the wizard
// makes to find its resource library, and nothing else.
//
//   oxudGetSpecialFolder(0)  -> the folder of this DLL, with a trailing "\"
//   oxudGetCurrentLanguage() -> HKCU\SOFTWARE\Kelvane\Orthex\R25.1 "Language"
//                               (REG_SZ), "en-US" when it is not set
#include <windows.h>

#include <string>

namespace {

std::wstring g_product;
std::wstring g_folder;
std::wstring g_language;

std::wstring ThisDllFolder() {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisDllFolder), &self);
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ReadLanguage() {
    wchar_t value[86] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Kelvane\\Orthex\\R25.1", L"Language",
                     RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS &&
        value[0])
        return value;
    return L"en-US";
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI oxudInitProductParams(const wchar_t* product, const wchar_t*) {
    g_product = product ? product : L"";
    g_folder = ThisDllFolder();
    g_language = ReadLanguage();
    return TRUE;
}

__declspec(dllexport) const wchar_t* WINAPI oxudGetSpecialFolder(int folder) {
    if (g_folder.empty()) g_folder = ThisDllFolder();
    return folder == 0 ? g_folder.c_str() : L"";
}

__declspec(dllexport) const wchar_t* WINAPI oxudGetCurrentLanguage() {
    if (g_language.empty()) g_language = ReadLanguage();
    return g_language.c_str();
}

}  // extern "C"
