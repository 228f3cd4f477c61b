// Text rules of the host's registry paths, apart from the registry itself.
#pragma once

#include <string>

constexpr const wchar_t* kVendorKey = L"SOFTWARE\\Kelvane\\Orthex\\";
constexpr const wchar_t* kHostRelease = L"R25.1";
constexpr const wchar_t* kMigrationProfile = L"<<ORTXAPP>>";

// The release key followed by "\" and the "CurVer" text (possibly empty).
std::wstring ProductKeyPathFor(const std::wstring& curVer);

// Leading decimal digits (blanks and a sign allowed first); 0 without digits.
int ParseProductNumber(const std::wstring& text);
// Hexadecimal with an optional "0x"; 0 when nothing parses.
unsigned ParseLocaleNumber(const std::wstring& text);

// "Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-<product>:<locale hex>"
std::wstring EditionKeyPathFor(int product, unsigned locale);
