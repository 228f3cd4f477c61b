#include "drawings/DrawingHeader.h"

#include <windows.h>

#include <algorithm>

#include "drawings/core/DrawingVersions.h"
#include "drawings/core/PreviewCore.h"
#include "framework/Handle.h"
#include "framework/Resources.h"

namespace {

// A file open for reading, read at any offset. Positional reads leave no
// file pointer to keep track of.
class FileBytes : public ByteSource {
  public:
    explicit FileBytes(fw::UniqueHandle file) : file_(std::move(file)) {
        LARGE_INTEGER size{};
        if (file_ && GetFileSizeEx(file_.Get(), &size))
            size_ = static_cast<uint64_t>(size.QuadPart);
    }
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + done);
            at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
            const DWORD ask = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_.Get(), static_cast<char*>(buffer) + done, ask, &got, &at) ||
                got == 0)
                break;
            done += got;
        }
        return done;
    }

  private:
    fw::UniqueHandle file_;
    uint64_t size_ = 0;
};

}  // namespace

std::wstring VersionText(const std::wstring& path) {
    uint8_t header[kVersionHeaderSize] = {};
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file) {
        // One read; a short file leaves the rest zero.
        DWORD got = 0;
        if (!ReadFile(file.Get(), header, sizeof header, &got, nullptr))
            std::fill(std::begin(header), std::end(header), 0);
    }
    const unsigned id = VersionTextId(header);
    return id ? fw::LoadResString(id) : std::wstring();
}

bool ReadDrawingStamp(const std::wstring& path, DrawingStamp& stamp) {
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME written{};
    if (!file || !GetFileTime(file.Get(), nullptr, nullptr, &written)) return false;
    char magic[7] = {};
    DWORD got = 0;
    if (!ReadFile(file.Get(), magic, 6, &got, nullptr)) return false;
    stamp.LastWrite = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    stamp.VersionCode = VersionCode(std::string_view(magic));  // ends at the first zero byte
    return true;
}

std::vector<uint8_t> PreviewCore::Load(const std::wstring& path) {
    // Shared as the C runtime's streams share: a drawing open in the host
    // still shows its preview.
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    FileBytes bytes(std::move(file));
    return Load(bytes);
}
