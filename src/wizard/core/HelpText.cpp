#include "wizard/core/HelpText.h"

std::wstring HelpTextForDisplay(std::wstring_view decoded) {
    std::wstring shown;
    shown.reserve(decoded.size() + decoded.size() / 16);
    for (size_t i = 0; i < decoded.size(); ++i) {
        const wchar_t c = decoded[i];
        if (c == L'\r' && i + 1 < decoded.size() && decoded[i + 1] == L'\n') continue;
        if (c == L'\n')
            shown += L"\r\n";
        else if (c != L'\0')
            shown += c;
    }
    return shown;
}
