#include "support/StandInHost.h"

#include "stand-ins/host/core/HostScript.h"

namespace testenv {

namespace {

constexpr wchar_t kVariable[] = L"ORTX_TRANSCRIPT";

std::wstring FromAnsi(const std::string& s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

}  // namespace

HostTranscripts::HostTranscripts() {
    wchar_t buffer[32768] = {};
    const DWORD n = GetEnvironmentVariableW(kVariable, buffer, 32768);
    hadPrevious_ = n > 0 && n < 32768;
    if (hadPrevious_) previous_ = buffer;
    const std::wstring folder = dir_.Path().substr(0, dir_.Path().size() - 1);
    SetEnvironmentVariableW(kVariable, folder.c_str());
}

HostTranscripts::~HostTranscripts() {
    SetEnvironmentVariableW(kVariable, hadPrevious_ ? previous_.c_str() : nullptr);
}

TranscriptCheck CheckTranscripts(const std::wstring& folder) {
    TranscriptCheck check;
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"ortx-*.log").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return check;
    do {
        ++check.Count;
        std::vector<std::wstring> lines;
        for (const std::string& line : SplitCrLf(ReadBytes(base + data.cFileName)))
            lines.push_back(FromAnsi(line));
        for (const std::wstring& fault : standin::ContractFaults(lines))
            check.Faults.push_back(Narrow(std::wstring(data.cFileName) + L": " + fault));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return check;
}

void ExpectCleanHostRuns(const std::wstring& folder) {
    const TranscriptCheck check = CheckTranscripts(folder);
    EXPECT_GT(check.Count, 0u) << "no stand-in host kept a transcript in " << Narrow(folder);
    std::string all;
    for (const std::string& f : check.Faults) all += "\n  " + f;
    EXPECT_TRUE(check.Faults.empty()) << "the stand-in host met a breach of the contract:" << all;
}

void SetMigrationProfileState(bool migration, const HostInstall& install) {
    const std::wstring product = L"Software\\Kelvane\\Orthex\\R25.1\\" + install.CurVer;
    const std::wstring profile = product + L"\\Profiles\\<<ORTXAPP>>";
    const std::wstring edition = L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-" +
                                 install.ProductId + L":" + install.LocaleId;
    struct Dword {
        std::wstring Key;
        const wchar_t* Name;
        DWORD Migration, Other;
    };
    const std::vector<Dword> dwords = {
        {profile + L"\\General", L"NoStartUpDialog", 1, 0},
        {product + L"\\FixedProfile\\General Configuration", L"CommandDialogs", 1, 0},
        {profile + L"\\General", L"LogFileOpen", 0, 1},
        {product + L"\\FixedProfile\\General Configuration", L"FileDialog", 0, 1},
        {profile + L"\\Drawing Window", L"SDIMode", 1, 0},
        {profile + L"\\General", L"ShowProxyDialog", 0, 1},
        {profile + L"\\Editor Configuration", L"XrefLazyLoadMode", 1, 2},
        {edition + L"\\Assembly", L"AXXASSEMBLE_VERIFIED", 1, 0},
        {profile + L"\\Drawing Window", L"ShowPlotSetup", 0, 1},
        {edition + L"\\BOM Migration", L"Show Dialog", 0, 1},
    };
    for (const Dword& d : dwords)
        SetDword(HKEY_CURRENT_USER, d.Key, d.Name, migration ? d.Migration : d.Other);
    SetString(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"EmergencyFont",
              migration ? L"simplex.shx" : L"");
    SetString(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"LogFilePath",
              migration ? TempFolder() : L"C:\\no such folder\\");
}

}  // namespace testenv
