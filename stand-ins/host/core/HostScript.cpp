#include "stand-ins/host/core/HostScript.h"

#include "core/Text.h"
#include "stand-ins/core/StandInText.h"

namespace standin {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 0x20) : c;
}

bool IsSwitch(const std::wstring& token, const wchar_t* name) {
    if (token.size() < 2 || (token[0] != L'/' && token[0] != L'-')) return false;
    return text::EqualsNoCase(std::wstring_view(token).substr(1), name);
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::wstring token;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
            if (line[i] == L'"')
                quoted = !quoted;
            else
                token += line[i];
        }
        tokens.push_back(token);
    }
    return tokens;
}

HostArgs ParseHostCommandLine(std::wstring_view commandLine) {
    HostArgs args;
    const std::vector<std::wstring> tokens = SplitCommandLine(commandLine);
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::wstring& t = tokens[i];
        if (IsSwitch(t, L"b") && i + 1 < tokens.size()) {
            args.Script = tokens[++i];
            args.HasScript = true;
        } else if (IsSwitch(t, L"p") && i + 1 < tokens.size()) {
            args.Profile = tokens[++i];
            args.HasProfile = true;
        } else if (IsSwitch(t, L"nologo")) {
            args.NoLogo = true;
        } else {
            args.Ignored.push_back(t);
        }
    }
    return args;
}

std::wstring CommandName(std::wstring_view line) {
    std::wstring t = Trim(line);
    size_t start = 0;
    while (start < t.size() && (t[start] == L'_' || t[start] == L'.')) ++start;
    size_t end = start;
    while (end < t.size() && !IsBlank(t[end])) ++end;
    std::wstring name = t.substr(start, end - start);
    for (auto& c : name) c = UpperAscii(c);
    return name;
}

std::wstring CommandTail(std::wstring_view line) {
    const std::wstring t = Trim(line);
    size_t end = 0;
    while (end < t.size() && !IsBlank(t[end])) ++end;
    return Trim(std::wstring_view(t).substr(end));
}

bool IsExpression(std::wstring_view line) {
    const std::wstring t = Trim(line);
    return !t.empty() && t[0] == L'(';
}

TextSource ParseTextReference(std::wstring_view text, unsigned& id) {
    id = 0;
    TextSource source;
    std::wstring_view rest;
    if (text.substr(0, 5) == L"{res:") {
        source = TextSource::Wizard;
        rest = text.substr(5);
    } else if (text.substr(0, 6) == L"{host:") {
        source = TextSource::Host;
        rest = text.substr(6);
    } else {
        return TextSource::Literal;
    }
    if (rest.size() < 2 || rest.size() > 7 || rest.back() != L'}') return TextSource::Literal;
    unsigned value = 0;
    for (wchar_t c : rest.substr(0, rest.size() - 1)) {
        if (c < L'0' || c > L'9') return TextSource::Literal;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value > 65535) return TextSource::Literal;
    id = value;
    return source;
}

std::wstring ResolveReference(std::wstring_view drawingPath, std::wstring_view reference) {
    if (IsRootedPath(reference)) return std::wstring(reference);
    return FolderOf(drawingPath) + std::wstring(reference);
}

std::vector<std::wstring> NewListEntries(const std::vector<std::wstring>& existing,
                                         const std::vector<std::wstring>& candidates) {
    text::NoCaseSet seen(existing.begin(), existing.end());
    std::vector<std::wstring> added;
    for (const std::wstring& c : candidates)
        if (seen.insert(c).second) added.push_back(c);
    return added;
}

}  // namespace standin
