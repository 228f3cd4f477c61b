#include "app/core/RunRecord.h"

#include <algorithm>

namespace runrecord {

namespace {

constexpr std::wstring_view kFirstLine = L"axTarvo run record 1";
constexpr std::wstring_view kEnd = L"end";

std::wstring Escaped(const std::wstring& value) {
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else
            out += c;
    }
    return out;
}

bool Unescaped(std::wstring_view text, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case L'\\':
                out += L'\\';
                break;
            case L'n':
                out += L'\n';
                break;
            case L'r':
                out += L'\r';
                break;
            default:
                return false;
        }
    }
    return true;
}

bool ParseDecimal(std::wstring_view s, uint64_t& value) {
    if (s.empty() || s.size() > 20) return false;
    uint64_t v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - L'0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

}  // namespace

void Record::Set(const std::wstring& key, const std::wstring& value) {
    values_.erase(std::remove_if(values_.begin(), values_.end(),
                                 [&](const auto& kv) { return kv.first == key; }),
                  values_.end());
    values_.emplace_back(key, value);
}

void Record::SetNumber(const std::wstring& key, uint64_t value) {
    Set(key, std::to_wstring(value));
}

void Record::Add(const std::wstring& key, const std::wstring& value) {
    values_.emplace_back(key, value);
}

bool Record::Has(const std::wstring& key) const {
    return std::any_of(values_.begin(), values_.end(),
                       [&](const auto& kv) { return kv.first == key; });
}

bool Record::Get(const std::wstring& key, std::wstring& value) const {
    for (const auto& kv : values_)
        if (kv.first == key) {
            value = kv.second;
            return true;
        }
    return false;
}

bool Record::GetNumber(const std::wstring& key, uint64_t& value) const {
    std::wstring text;
    return Get(key, text) && ParseDecimal(text, value);
}

std::vector<std::wstring> Record::List(const std::wstring& key) const {
    std::vector<std::wstring> out;
    for (const auto& kv : values_)
        if (kv.first == key) out.push_back(kv.second);
    return out;
}

std::wstring Record::Format() const {
    std::wstring text(kFirstLine);
    text += L"\r\n";
    for (const auto& kv : values_) text += kv.first + L"=" + Escaped(kv.second) + L"\r\n";
    text += std::wstring(kEnd) + L"=" + std::to_wstring(values_.size()) + L"\r\n";
    return text;
}

Status Record::Parse(std::wstring_view text, Record& record) {
    record.values_.clear();
    bool first = true;
    while (!text.empty()) {
        size_t end = text.find(L'\n');
        // A last line without its line end was cut short.
        if (end == std::wstring_view::npos) return first ? Status::NotARecord : Status::Truncated;
        std::wstring_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) return Status::NotARecord;
            first = false;
            continue;
        }
        const size_t equals = line.find(L'=');
        if (equals == 0 || equals == std::wstring_view::npos) return Status::Malformed;
        const std::wstring_view key = line.substr(0, equals);
        std::wstring value;
        if (!Unescaped(line.substr(equals + 1), value)) return Status::Malformed;
        if (key == kEnd) {
            uint64_t count = 0;
            if (!ParseDecimal(value, count) || count != record.values_.size() || !text.empty())
                return Status::Malformed;
            return Status::Ok;
        }
        record.values_.emplace_back(std::wstring(key), std::move(value));
    }
    return first ? Status::NotARecord : Status::Truncated;
}

}  // namespace runrecord
