// A file opened through CreateFileW whose failures carry a FileCause, in the
// manner of the application framework's file class. Unbuffered and thin.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/FileCause.h"
#include "framework/Handle.h"

namespace fw {

class CFile {
  public:
    // Open flags, numbered as the application framework numbers them.
    enum : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,  // share value 0 (compat) is exclusive as well
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        // Ours: create a new file and fail when one of that name exists.
        modeCreateNew = 0x10000,
        // Ours: every write goes to the end, also when another writer
        // appended in between (with modeWrite's place in the flags).
        modeAppend = 0x20000,
    };

    CFile() = default;
    CFile(CFile&&) = default;
    CFile& operator=(CFile&&) = default;

    // On failure *cause (when given) says why.
    bool Open(const std::wstring& path, unsigned flags, FileCause* cause = nullptr);
    bool IsOpen() const { return handle_.Valid(); }
    // Reads up to size bytes; *read is 0 at the end of the file.
    bool Read(void* buffer, DWORD size, DWORD* read, FileCause* cause = nullptr);
    // Appends what is left of the file to bytes, stopping once bytes holds
    // maxBytes or more; false when a read failed (bytes keeps what came).
    bool ReadUpTo(size_t maxBytes, std::string& bytes, FileCause* cause = nullptr);
    // Writes all bytes or fails.
    bool Write(const void* data, DWORD size, FileCause* cause = nullptr);
    // Puts what was written on the disk (delayed write errors show here).
    bool Flush(FileCause* cause = nullptr);
    bool SeekToBegin(FileCause* cause = nullptr);
    // Ends the file at the current position.
    bool SetEndHere(FileCause* cause = nullptr);
    bool Close(FileCause* cause = nullptr);

    struct Status {
        DWORD Attributes = 0;
        uint64_t Size = 0;
    };
    // Looks the name (which may hold wildcards) up in its directory; false when
    // nothing matches.
    static bool GetStatus(const std::wstring& pattern, Status& status);

  private:
    UniqueHandle handle_;
};

}  // namespace fw
