#include "core/FileCause.h"

FileCause CauseFromOsError(unsigned long error) {
    // Windows error codes by number, so this stays free of windows.h.
    switch (error) {
        case 0:
            return FileCause::None;
        case 2:    // ERROR_FILE_NOT_FOUND
        case 6:    // ERROR_INVALID_HANDLE
        case 18:   // ERROR_NO_MORE_FILES
        case 110:  // ERROR_OPEN_FAILED
            return FileCause::FileNotFound;
        case 3:    // ERROR_PATH_NOT_FOUND
        case 15:   // ERROR_INVALID_DRIVE
        case 17:   // ERROR_NOT_SAME_DEVICE
        case 34:   // ERROR_WRONG_DISK
        case 52:   // ERROR_DUP_NAME
        case 53:   // ERROR_BAD_NETPATH
        case 55:   // ERROR_DEV_NOT_EXIST
        case 67:   // ERROR_BAD_NET_NAME
        case 87:   // ERROR_INVALID_PARAMETER
        case 123:  // ERROR_INVALID_NAME
        case 161:  // ERROR_BAD_PATHNAME
        case 206:  // ERROR_FILENAME_EXCED_RANGE
            return FileCause::BadPath;
        case 4:   // ERROR_TOO_MANY_OPEN_FILES
        case 36:  // ERROR_SHARING_BUFFER_EXCEEDED
            return FileCause::TooManyOpenFiles;
        case 5:   // ERROR_ACCESS_DENIED
        case 12:  // ERROR_INVALID_ACCESS
        case 19:  // ERROR_WRITE_PROTECT
        case 29:  // ERROR_WRITE_FAULT
        case 54:  // ERROR_NETWORK_BUSY
        case 58:  // ERROR_BAD_NET_RESP
        case 64:  // ERROR_NETNAME_DELETED
        case 65:  // ERROR_NETWORK_ACCESS_DENIED
        case 80:  // ERROR_FILE_EXISTS
        case 86:  // ERROR_INVALID_PASSWORD
        case 88:  // ERROR_NET_WRITE_FAULT
            return FileCause::AccessDenied;
        case 11:  // ERROR_BAD_FORMAT
        case 26:  // ERROR_NOT_DOS_DISK
        case 60:  // ERROR_BAD_REM_ADAP
            return FileCause::InvalidFile;
        case 16:  // ERROR_CURRENT_DIRECTORY
            return FileCause::RemoveCurrentDir;
        case 71:  // ERROR_REQ_NOT_ACCEP
        case 82:  // ERROR_CANNOT_MAKE
        case 62:  // ERROR_NO_SPOOL_SPACE
            return FileCause::DirectoryFull;
        case 24:   // ERROR_BAD_LENGTH
        case 25:   // ERROR_SEEK
        case 27:   // ERROR_SECTOR_NOT_FOUND
        case 30:   // ERROR_READ_FAULT
        case 131:  // ERROR_NEGATIVE_SEEK
            return FileCause::BadSeek;
        case 20:    // ERROR_BAD_UNIT
        case 21:    // ERROR_NOT_READY
        case 22:    // ERROR_BAD_COMMAND
        case 23:    // ERROR_CRC
        case 31:    // ERROR_GEN_FAILURE (Wine, for a write past a file-size limit)
        case 57:    // ERROR_ADAP_HDW_ERR
        case 59:    // ERROR_UNEXP_NET_ERR
        case 1117:  // ERROR_IO_DEVICE
            return FileCause::HardIO;
        case 32:  // ERROR_SHARING_VIOLATION
            return FileCause::SharingViolation;
        case 33:   // ERROR_LOCK_VIOLATION
        case 108:  // ERROR_DRIVE_LOCKED
            return FileCause::LockViolation;
        case 39:    // ERROR_HANDLE_DISK_FULL
        case 112:   // ERROR_DISK_FULL
        case 223:   // ERROR_FILE_TOO_LARGE
        case 1816:  // ERROR_NOT_ENOUGH_QUOTA
            return FileCause::DiskFull;
        case 38:  // ERROR_HANDLE_EOF
            return FileCause::EndOfFile;
        default:
            return FileCause::Generic;
    }
}
