// The table that picks a C runtime locale name for a Windows language id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct LanguageRow {
    const wchar_t* Key;   // "0x" and four lower-case hex digits
    const wchar_t* Name;  // C runtime locale name, or empty
};

constexpr size_t kLanguageRowCount = 143;
extern const LanguageRow kLanguageTable[kLanguageRowCount];

// The name of the first row whose key, read as a hexadecimal number, equals
// the language id; empty when no row does.
std::wstring LocaleNameForLanguage(uint16_t languageId);
