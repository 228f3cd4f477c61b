#include "host/core/HostKeyText.h"

#include <cwchar>

#include "core/Text.h"

std::wstring ProductKeyPathFor(const std::wstring& curVer) {
    return std::wstring(kVendorKey) + kHostRelease + L"\\" + curVer;
}

int ParseProductNumber(const std::wstring& text) {
    // wcstol would give LONG_MAX for an overlong number; clamp to int the same way.
    long v = std::wcstol(text.c_str(), nullptr, 10);
    if (v > 0x7FFFFFFFL) v = 0x7FFFFFFFL;
    if (v < -0x7FFFFFFFL - 1) v = -0x7FFFFFFFL - 1;
    return static_cast<int>(v);
}

unsigned ParseLocaleNumber(const std::wstring& text) {
    unsigned long v = std::wcstoul(text.c_str(), nullptr, 16);
    return v > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<unsigned>(v);
}

std::wstring EditionKeyPathFor(int product, unsigned locale) {
    return text::Format(L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-%d:%x",
                        {product, locale});
}
