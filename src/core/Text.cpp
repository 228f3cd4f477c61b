#include "core/Text.h"

namespace text {

wchar_t ToLowerChar(wchar_t c) {
    const unsigned u = static_cast<unsigned>(c);
    if (u >= L'A' && u <= L'Z') return static_cast<wchar_t>(u + 0x20);
    if (u < 0xC0) return c;
    if (u <= 0xDE) return u == 0xD7 ? c : static_cast<wchar_t>(u + 0x20);
    if (u >= 0x100 && u <= 0x17F) {
        // Latin Extended-A pairs capital/small, with a shift in the middle.
        if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return c;
        if (u == 0x178) return static_cast<wchar_t>(0xFF);
        if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E))
            return (u & 1) ? static_cast<wchar_t>(u + 1) : c;
        return (u & 1) ? c : static_cast<wchar_t>(u + 1);
    }
    if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return static_cast<wchar_t>(u + 0x20);
    if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 0x20);
    if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 0x50);
    if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<wchar_t>(u + 0x20);
    return c;
}

std::wstring ToLower(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = ToLowerChar(c);
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToLowerChar(a[i]) != ToLowerChar(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

size_t NoCaseHash::operator()(std::wstring_view s) const {
    // FNV-1a over the folded characters.
    uint64_t h = 1469598103934665603ull;
    for (wchar_t c : s) {
        h ^= static_cast<uint32_t>(ToLowerChar(c));
        h *= 1099511628211ull;
    }
    return static_cast<size_t>(h);
}

std::wstring Decimal(long long v) {
    // Built by hand: std::to_wstring is missing from some MinGW runtimes.
    wchar_t buf[24];
    size_t n = 0;
    unsigned long long m =
        v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        buf[n++] = static_cast<wchar_t>(L'0' + m % 10);
        m /= 10;
    } while (m);
    std::wstring out;
    if (v < 0) out += L'-';
    while (n) out += buf[--n];
    return out;
}

namespace {

std::wstring Hex(unsigned long long m, bool upper) {
    const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    wchar_t buf[20];
    size_t n = 0;
    do {
        buf[n++] = digits[m & 15];
        m >>= 4;
    } while (m);
    std::wstring out;
    while (n) out += buf[--n];
    return out;
}

void Pad(std::wstring& out, std::wstring piece, size_t width, bool left, bool zero) {
    if (piece.size() >= width) {
        out += piece;
        return;
    }
    const size_t fill = width - piece.size();
    if (left) {
        out += piece;
        out.append(fill, L' ');
    } else if (zero) {
        size_t signLen = (!piece.empty() && piece[0] == L'-') ? 1 : 0;
        out.append(piece, 0, signLen);
        out.append(fill, L'0');
        out.append(piece, signLen, std::wstring::npos);
    } else {
        out.append(fill, L' ');
        out += piece;
    }
}

}  // namespace

std::wstring Format(std::wstring_view format, const std::vector<FormatArg>& args) {
    std::wstring out;
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        const wchar_t c = format[i];
        if (c != L'%') {
            out += c;
            ++i;
            continue;
        }
        const size_t start = i++;
        if (i < format.size() && format[i] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        bool left = false, zero = false;
        while (i < format.size() && (format[i] == L'-' || format[i] == L'0')) {
            (format[i] == L'-' ? left : zero) = true;
            ++i;
        }
        size_t width = 0;
        while (i < format.size() && format[i] >= L'0' && format[i] <= L'9' && width < 1000)
            width = width * 10 + static_cast<size_t>(format[i++] - L'0');
        while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') ++i;
        while (i < format.size() && (format[i] == L'l' || format[i] == L'h')) ++i;
        if (format.substr(i, 3) == L"I64") i += 3;
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        const wchar_t conv = format[i++];
        const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
        std::wstring piece;
        switch (conv) {
            case L's':
            case L'S':
            case L'd':
            case L'i':
            case L'u':
                if (arg) piece = arg->IsText() ? std::wstring(arg->Text()) : Decimal(arg->Number());
                break;
            case L'x':
            case L'X':
                if (arg)
                    piece = arg->IsText() ? std::wstring(arg->Text())
                                          : Hex(static_cast<unsigned long long>(arg->Number()) &
                                                    (arg->Number() < 0 ? 0xFFFFFFFFull : ~0ull),
                                                conv == L'X');
                break;
            case L'c':
                if (arg) {
                    if (arg->IsText())
                        piece = std::wstring(arg->Text().substr(0, 1));
                    else if (arg->Number() > 0 && arg->Number() <= 0xFFFF)
                        piece = std::wstring(1, static_cast<wchar_t>(arg->Number()));
                }
                break;
            default:
                out.append(format.substr(start, i - start));
                continue;
        }
        ++next;
        Pad(out, std::move(piece), width, left, zero && !left);
    }
    return out;
}

std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args) {
    return Format(format, std::vector<FormatArg>(args));
}

bool ParseInt(std::wstring_view s, int& value) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    size_t i = 0, end = s.size();
    while (i < end && blank(s[i])) ++i;
    while (end > i && blank(s[end - 1])) --end;
    bool negative = false;
    if (i < end && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
    if (i == end) return false;
    // Accumulate negatively: the range of int reaches one further below zero.
    long long n = 0;
    for (; i < end; ++i) {
        if (s[i] < L'0' || s[i] > L'9') return false;
        n = n * 10 - (s[i] - L'0');
        if (n < -2147483648LL) return false;
    }
    if (!negative) {
        if (n < -2147483647LL) return false;
        n = -n;
    }
    value = static_cast<int>(n);
    return true;
}

void AppendTrailingSeparator(std::wstring& path) {
    const size_t pos = path.find_last_of(L"\\/");
    if (pos == std::wstring::npos || pos + 1 != path.size()) path += L'\\';
}

std::vector<std::wstring> SplitSemicolons(std::wstring_view s) {
    std::vector<std::wstring> parts;
    size_t begin = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L';') {
            parts.emplace_back(s.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    if (begin < s.size()) parts.emplace_back(s.substr(begin));
    return parts;
}

std::wstring JoinSemicolons(const std::vector<std::wstring>& parts) {
    std::wstring out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += L';';
        out += parts[i];
    }
    return out;
}

}  // namespace text
