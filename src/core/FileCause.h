// Why a file operation failed, in the application framework's numbering
// (0 none .. 14 end of file), and the mapping from Windows error codes.
#pragma once

enum class FileCause : int {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

// The cause for a Windows system error code (GetLastError).
FileCause CauseFromOsError(unsigned long error);
