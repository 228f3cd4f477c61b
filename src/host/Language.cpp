#include "host/Language.h"

#include <locale.h>
#include <mbctype.h>

#include <cstdlib>

#include "framework/Handle.h"
#include "framework/Resources.h"
#include "host/core/LanguageTable.h"

std::wstring LocaleNameForSystemLanguage() {
    return LocaleNameForLanguage(GetSystemDefaultLangID());
}

void SetRuntimeLocale() {
    const std::wstring name = LocaleNameForSystemLanguage();
    if (!_wsetlocale(LC_ALL, name.c_str())) _wsetlocale(LC_ALL, L"C");
    _wsetlocale(LC_NUMERIC, L"C");
    _wsetlocale(LC_TIME, L"");
    _setmbcp(_MB_CP_LOCALE);
}

fw::TextLocale SystemLanguageLocale() {
    fw::TextLocale locale;
    UINT codePage = 0;
    const LCID lcid = LocaleNameForSystemLanguage().empty()
                          ? LOCALE_USER_DEFAULT
                          : MAKELCID(GetSystemDefaultLangID(), SORT_DEFAULT);
    if (GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) &&
        codePage != 0) {
        locale.CodePage = codePage;
    } else {
        locale.CodePage = GetACP();  // languages without an ANSI code page
    }
    return locale;
}

namespace {

// The user-data library's calls, as it exports them (C linkage).
using InitProductParamsFn = BOOL(WINAPI*)(const wchar_t* product, const wchar_t* extra);
using GetSpecialFolderFn = const wchar_t*(WINAPI*)(int folder);
using GetCurrentLanguageFn = const wchar_t*(WINAPI*)();

constexpr int kFoldersFirst = 0;  // OxUdSpecialFolder::Folders, first value

}  // namespace

std::wstring ResourceLibraryPath() {
    fw::UniqueModule userData(LoadLibraryW(L"UserData.dll"));
    if (!userData) return std::wstring();
    auto init = reinterpret_cast<InitProductParamsFn>(
        reinterpret_cast<void*>(GetProcAddress(userData.Get(), "oxudInitProductParams")));
    auto folder = reinterpret_cast<GetSpecialFolderFn>(
        reinterpret_cast<void*>(GetProcAddress(userData.Get(), "oxudGetSpecialFolder")));
    auto language = reinterpret_cast<GetCurrentLanguageFn>(
        reinterpret_cast<void*>(GetProcAddress(userData.Get(), "oxudGetCurrentLanguage")));
    if (!init || !folder || !language) return std::wstring();
    init(L"ORTXA", L"");
    const wchar_t* f = folder(kFoldersFirst);
    const wchar_t* l = language();
    return std::wstring(f ? f : L"") + L"ortxa\\" + (l ? l : L"") + L"\\axTarvoRes.dll";
}

ResourceLibraryScope::ResourceLibraryScope(HMODULE library) : library_(library) {
    if (!library_) {
        std::wstring path = ResourceLibraryPath();
        if (!path.empty()) library_ = LoadLibraryW(path.c_str());
        if (!library_) {
            // Without the library there are no texts; the message is the path.
            if (path.empty()) path = L"UserData.dll";
            MessageBoxW(nullptr, path.c_str(), L"Can not load resource dll", MB_ICONERROR);
            std::exit(-1);
        }
    }
    previous_ = fw::ResourceHandle();
    fw::SetResourceHandle(library_);
}

ResourceLibraryScope::~ResourceLibraryScope() {
    fw::SetResourceHandle(previous_);
    if (library_) FreeLibrary(library_);
}
