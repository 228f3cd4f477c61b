#include "stand-ins/host/core/HostScript.h"

#include <cwchar>

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

bool IsPurgeTail(std::wstring_view tail) {
    const std::vector<std::wstring> words = SplitCommandLine(tail);
    if (words.size() != 3 || words[1] != L"*") return false;
    auto word = [](std::wstring w) {
        if (!w.empty() && w[0] == L'_') w.erase(0, 1);
        for (auto& c : w) c = UpperAscii(c);
        return w;
    };
    const std::wstring kind = word(words[0]);
    if (word(words[2]) != L"N") return false;
    for (const wchar_t* k : {L"B", L"LA", L"D", L"P", L"LT", L"ST", L"M", L"SH"})
        if (kind == k) return true;
    return false;
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

namespace {

bool StartsWith(std::wstring_view s, std::wstring_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::vector<std::wstring> ContractFaults(const std::vector<std::wstring>& transcript) {
    const std::wstring closing = std::wstring(kUnknownCommand) + L"\"(axresetdbmod T)\".";
    std::vector<std::wstring> faults;
    bool unloaded = false;  // the extension has gone, the closing line may follow
    for (const std::wstring& line : transcript) {
        if (StartsWith(line, L"Loaded ")) unloaded = false;
        if (StartsWith(line, L"Unloaded ")) unloaded = true;
        std::wstring_view text = line;
        if (StartsWith(text, kExtensionPrefix)) text.remove_prefix(wcslen(kExtensionPrefix));
        const bool fault = StartsWith(text, kUnknownCommand) || StartsWith(text, kBadArgument) ||
                           StartsWith(text, kProfileDialog);
        if (!fault) continue;
        if (unloaded && line == closing) {
            unloaded = false;  // once per unload
            continue;
        }
        faults.push_back(line);
    }
    return faults;
}

}  // namespace standin
