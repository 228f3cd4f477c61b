#include "framework/File.h"

namespace fw {

namespace {
void SetCause(FileCause* cause, DWORD error) {
    if (cause) *cause = CauseFromOsError(error);
}
}  // namespace

bool CFile::Open(const std::wstring& path, unsigned flags, FileCause* cause) {
    handle_.Reset();
    DWORD access = GENERIC_READ;
    switch (flags & 3) {
        case modeWrite:
            access = GENERIC_WRITE;
            break;
        case modeReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
    }
    if (flags & modeAppend) access = FILE_APPEND_DATA | SYNCHRONIZE;
    DWORD share = 0;
    switch (flags & 0x70) {
        case shareDenyWrite:
            share = FILE_SHARE_READ;
            break;
        case shareDenyRead:
            share = FILE_SHARE_WRITE;
            break;
        case shareDenyNone:
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        default:
            share = 0;
            break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (flags & modeCreate) disposition = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    if (flags & modeCreateNew) disposition = CREATE_NEW;

    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetCause(cause, GetLastError());
        return false;
    }
    handle_.Reset(h);
    return true;
}

bool CFile::Read(void* buffer, DWORD size, DWORD* read, FileCause* cause) {
    *read = 0;
    if (!ReadFile(handle_.Get(), buffer, size, read, nullptr)) {
        SetCause(cause, GetLastError());
        return false;
    }
    return true;
}

bool CFile::ReadUpTo(size_t maxBytes, std::string& bytes, FileCause* cause) {
    char buffer[64 * 1024];
    DWORD read = 0;
    while (bytes.size() < maxBytes) {
        if (!Read(buffer, sizeof buffer, &read, cause)) return false;
        if (read == 0) break;
        bytes.append(buffer, read);
    }
    return true;
}

bool CFile::Write(const void* data, DWORD size, FileCause* cause) {
    DWORD written = 0;
    if (!WriteFile(handle_.Get(), data, size, &written, nullptr)) {
        SetCause(cause, GetLastError());
        return false;
    }
    if (written != size) {
        if (cause) *cause = FileCause::DiskFull;
        return false;
    }
    return true;
}

bool CFile::Flush(FileCause* cause) {
    if (!FlushFileBuffers(handle_.Get())) {
        SetCause(cause, GetLastError());
        return false;
    }
    return true;
}

bool CFile::SeekToBegin(FileCause* cause) {
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle_.Get(), start, nullptr, FILE_BEGIN)) {
        SetCause(cause, GetLastError());
        return false;
    }
    return true;
}

bool CFile::SetEndHere(FileCause* cause) {
    if (!SetEndOfFile(handle_.Get())) {
        SetCause(cause, GetLastError());
        return false;
    }
    return true;
}

bool CFile::Close(FileCause* cause) {
    if (!handle_.Valid()) return true;
    if (!handle_.Reset()) {
        SetCause(cause, GetLastError());
        return false;
    }
    return true;
}

bool CFile::GetStatus(const std::wstring& pattern, Status& status) {
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) return false;
    status.Attributes = data.dwFileAttributes;
    status.Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

}  // namespace fw
