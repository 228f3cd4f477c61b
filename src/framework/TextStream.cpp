#include "framework/TextStream.h"

namespace fw {

namespace {

// Code pages for which WideCharToMultiByte takes no flags.
bool TakesNoFlags(UINT cp) {
    return cp == CP_UTF8 || cp == CP_UTF7 || cp == 54936 || (cp >= 50220 && cp <= 50229) ||
           (cp >= 57002 && cp <= 57011) || cp == 42;
}

}  // namespace

bool TextStream::Open(const std::wstring& path, Mode mode, TextLocale locale) {
    Close();
    cause_ = FileCause::None;
    locale_ = locale;
    unsigned flags = CFile::modeRead | CFile::shareDenyNone;
    if (mode == Mode::Write)
        flags = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone;
    else if (mode == Mode::Append)
        flags =
            CFile::modeCreate | CFile::modeNoTruncate | CFile::modeAppend | CFile::shareDenyNone;
    return file_.Open(path, flags, &cause_);
}

bool TextStream::Close() {
    const bool closed = file_.Close(&cause_);
    buffer_.clear();
    bufferPos_ = 0;
    atEnd_ = false;
    failed_ = false;
    return closed;
}

std::string TextStream::Encode(std::wstring_view text, TextLocale locale, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty()) return std::string();
    const DWORD flags = TakesNoFlags(locale.CodePage) ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(locale.CodePage, flags, text.data(), length, nullptr, 0,
                                    nullptr, nullptr);
    if (bytes <= 0) {
        if (lossy) *lossy = true;
        return std::string();
    }
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(locale.CodePage, flags, text.data(), length, out.data(), bytes, nullptr,
                        nullptr);
    // A round trip tells for every code page whether a character was replaced.
    if (lossy) *lossy = Decode(out, locale) != text;
    return out;
}

std::wstring TextStream::Decode(std::string_view bytes, TextLocale locale) {
    if (bytes.empty()) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    int chars = MultiByteToWideChar(locale.CodePage, 0, bytes.data(), length, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(locale.CodePage, 0, bytes.data(), length, out.data(), chars);
    return out;
}

bool TextStream::CanRepresent(std::wstring_view text, TextLocale locale) {
    bool lossy = false;
    Encode(text, locale, &lossy);
    return !lossy;
}

bool TextStream::Write(std::wstring_view text, bool* lossy) {
    if (lossy) *lossy = false;
    if (!file_.IsOpen() || cause_ != FileCause::None) return false;
    std::wstring translated;
    translated.reserve(text.size() + 8);
    for (wchar_t c : text) {
        if (c == L'\n') translated += L'\r';
        translated += c;
    }
    const std::string bytes = Encode(translated, locale_, lossy);
    if (bytes.empty()) return translated.empty();
    return file_.Write(bytes.data(), static_cast<DWORD>(bytes.size()), &cause_);
}

bool TextStream::WriteLine(std::wstring_view line, bool* lossy) {
    std::wstring withEnd(line);
    withEnd += L'\n';
    return Write(withEnd, lossy);
}

bool TextStream::FillBuffer() {
    if (atEnd_) return false;
    char chunk[16384];
    DWORD read = 0;
    if (!file_.Read(chunk, sizeof chunk, &read, &cause_) || read == 0) {
        atEnd_ = true;
        return false;
    }
    buffer_.append(chunk, read);
    return true;
}

bool TextStream::ReadLine(std::wstring& line, size_t maxChars) {
    line.clear();
    if (!file_.IsOpen() || failed_) return false;
    buffer_.erase(0, bufferPos_);
    bufferPos_ = 0;
    // LF is never the second byte of a double-byte character in the Windows
    // code pages, so lines can be cut on the byte.
    size_t scanned = 0;
    size_t lf;
    while ((lf = buffer_.find('\n', scanned)) == std::string::npos) {
        scanned = buffer_.size();
        // No code page needs more than four bytes a character: a line this
        // long is too long whatever it holds, so stop before holding more.
        if (scanned > (maxChars + 2) * 4) {
            failed_ = true;
            return false;
        }
        if (!FillBuffer()) break;
    }
    const bool sawEnd = lf != std::string::npos;
    std::string_view raw(buffer_);
    if (sawEnd) raw = raw.substr(0, lf);
    if (!sawEnd && raw.empty()) {
        failed_ = true;
        return false;
    }
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    line = Decode(raw, locale_);
    bufferPos_ = sawEnd ? lf + 1 : buffer_.size();
    if (line.size() > maxChars) {
        line.resize(maxChars);
        failed_ = true;
        return false;
    }
    return true;
}

}  // namespace fw
