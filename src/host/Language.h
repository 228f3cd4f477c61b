// The program's language: the locale picked for the system language, and the
// resource library picked for the host's user-interface language.
#pragma once

#include <windows.h>

#include <string>

#include "framework/TextStream.h"

// Locale name of the language table for GetSystemDefaultLangID(); may be empty.
std::wstring LocaleNameForSystemLanguage();

// Sets the C runtime locale for the system language ("C" when the runtime
// rejects the name), numbers in "C", times in the user's default, and the
// multibyte code page to the locale's.
void SetRuntimeLocale();

// The code page every text file stream converts through: the ANSI code page of
// the system language when the table names a locale for it, else that of the
// user's default locale.
fw::TextLocale SystemLanguageLocale();

// The resource library path that the host maker's user-data library gives:
// special folder + "ortxa\" + language + "\axTarvoRes.dll". Empty when the
// user-data library cannot be loaded or lacks its calls.
std::wstring ResourceLibraryPath();

// Makes the resource library the module's resource handle for its lifetime.
// Without a handle it loads the library itself; when that fails it shows the
// path it tried and ends the process with exit code -1.
class ResourceLibraryScope {
  public:
    explicit ResourceLibraryScope(HMODULE library = nullptr);
    ~ResourceLibraryScope();
    ResourceLibraryScope(const ResourceLibraryScope&) = delete;
    ResourceLibraryScope& operator=(const ResourceLibraryScope&) = delete;

    HMODULE Library() const { return library_; }

  private:
    HMODULE library_;
    HINSTANCE previous_;
};
