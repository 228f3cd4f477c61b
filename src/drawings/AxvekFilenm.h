// A path made absolute and lower-cased, split into drive, directory, base name
// and extension; also names the program's temporary files.
#pragma once

#include <cstdint>
#include <string>

class AxvekFilenm {
  public:
    AxvekFilenm() = default;
    explicit AxvekFilenm(const std::wstring& path, bool forwardSlashes = false);
    virtual ~AxvekFilenm() = default;

    // Fills every member from the path. When the path cannot be made absolute
    // (an empty path, say) FullPath and all parts are empty.
    void Set(const std::wstring& path);

    // Names a new temporary file "<temp folder>vek<n>.<ext>" (an empty
    // extension gives "tmp") and Sets the object to it. Creates no file.
    void MakeTempName(const std::wstring& extension);

    // FullPath, or a form with "..." for inner folders that keeps as many
    // leading folders as fit in maxLength characters.
    std::wstring Shortened(size_t maxLength) const;

    // The process-wide counter of temporary names (last value used).
    static uint16_t TempCounter();
    // The counter back to its start: the next name is "vek1".
    static void ResetTempCounter();

    std::wstring GivenPath;
    std::wstring FullPath;
    std::wstring Drive;
    std::wstring Directory;
    std::wstring BaseName;
    std::wstring Extension;
    bool ForwardSlashes = false;
};
