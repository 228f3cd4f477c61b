// The portable half of AxvekFilenm: splitting an absolute path into its parts,
// shortening it for display, and the temporary-name counter.
#pragma once

#include <cstdint>
#include <string>

struct PathParts {
    std::wstring FullPath;
    std::wstring Drive;      // up to and including the first ':'
    std::wstring Directory;  // between Drive and the file name, separators kept
    std::wstring BaseName;   // file name up to its last '.'
    std::wstring Extension;  // file name after its last '.', without the dot
};

// Splits an absolute path whose file name starts at namePos (npos or
// fullPath.size() when the path ends in a separator). The parts are taken as
// they stand; the caller lower-cases beforehand.
PathParts SplitFullPath(const std::wstring& fullPath, size_t namePos);

// FullPath, or Drive + leading folders + "..." + separator + name when it is
// longer than maxLength. The result is longer than maxLength when even drive,
// root separator and name do not fit.
std::wstring ShortenPath(const PathParts& parts, size_t maxLength, bool forwardSlashes);

// The counter runs 1 .. 0xFFFE, then 0, 1, ...
uint16_t NextTempCounter(uint16_t counter);

// "<folder>vek<counter in lower-case hex>.<extension>"; an empty extension
// becomes "TMP". The folder ends with a separator.
std::wstring TempFileName(const std::wstring& folder, uint16_t counter,
                          const std::wstring& extension);
