// Shared helpers of the Windows tests: a clean registry for the host's keys,
// the build's resource library, scratch folders, file contents, and a catcher
// for the message boxes the code under test shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/Language.h"

namespace testenv {

std::wstring BinDir();  // folder of the test program, with a trailing "\"
std::wstring ResourceLibraryFile(const wchar_t* language = L"en-US");

// Removes everything under HKCU\Software\Kelvane and HKLM\Software\Kelvane.
void ClearHostRegistry();

// The registry of an installed host: CurVer, ProductId, LocaleId, OrtxLocation
// and the migration profile key.
struct HostInstall {
    std::wstring CurVer = L"ORTXA-7001:409";
    std::wstring ProductId = L"7001";
    std::wstring LocaleId = L"409";
    std::wstring OrtxLocation = L"C:\\Program Files\\Kelvane\\Orthex R25.1";
    bool MigrationProfile = true;
};
void InstallHost(const HostInstall& install = HostInstall());

void SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
               DWORD type = REG_SZ);
void SetDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD value);
bool GetString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value);
bool GetDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value);
bool KeyExists(HKEY root, const std::wstring& key);
bool ValueExists(HKEY root, const std::wstring& key, const wchar_t* name);

// A new empty folder under the temporary folder, removed with its contents.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    const std::wstring& Path() const { return path_; }  // ends with "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
    // The names in the folder, to see that nothing else was left there.
    std::vector<std::wstring> Names() const;

  private:
    std::wstring path_;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::wstring TempFolder();                  // GetTempPathW, with its trailing "\"
std::string Narrow(const std::wstring& s);  // UTF-8, for test messages
// The lines of a text with CR LF line ends (a last line without one included).
std::vector<std::string> SplitCrLf(const std::string& bytes);
// The bytes the program writes for a text in the system ANSI code page.
std::string Ansi(const std::wstring& s);
// A letter beyond ASCII that the system code page in force holds: "ü" in the
// western ones, "図" in Japanese.
std::wstring LocalLetter();
// A top-level window in the dialog face colour at (20, 20), on top, shown
// without activating it (Wine waits two seconds for a window manager when an
// active window goes away), for controls a test creates on it.
HWND ShowTestFrame(int width, int height);
// A drawing list file as the program writes it: header, then "[x]"/"[ ]" + path.
std::string ListFileBytes(const std::vector<std::pair<bool, std::wstring>>& entries);

// The run monitor this process shows (a visible window with the Stop
// button), or nullptr.
HWND FindRunMonitor();

// Base fixture: a clean host registry and the en-US resource library in force.
class WinTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ResourceLibraryScope> resources_;
};

// Waits on a thread for a window of this process with the given title, reads
// its texts and presses a button (IDOK unless told otherwise). A window with
// the same title that is already open can be passed over.
class DialogCatcher {
  public:
    explicit DialogCatcher(std::wstring title, int button = IDOK, DWORD timeoutMs = 15000,
                           HWND passOver = nullptr);
    ~DialogCatcher();
    // Waits for the catcher to finish; true when the window was seen.
    bool Seen();
    const std::vector<std::wstring>& Texts();  // the texts of its child windows
    std::wstring AllText();                    // those texts joined by "\n"

  private:
    std::wstring title_;
    int button_;
    DWORD timeoutMs_;
    HWND passOver_;
    bool seen_ = false;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

}  // namespace testenv
