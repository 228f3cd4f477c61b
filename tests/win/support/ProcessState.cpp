#include "support/ProcessState.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/AxvekTarvoApp.h"
#include "drawings/AxvekFilenm.h"
#include "host/HostKeys.h"
#include "wizard/Preview.h"

namespace testenv {

void ResetProcessState() {
    CPreview::ResetCache();
    AxvekFilenm::ResetTempCounter();
    ResetHostKeyPaths();
    ResetProfileDescriptor();
    CAxvekTarvoApp::ResetProfilePreparations();
    ResetLogfile();
}

namespace {

// The variables some tests set for the code under test and leave set (a
// temporary folder that is gone by the next test), as the process started
// with them (a missing one is kept as missing), and the current folder, which
// a file dialog moves.
class StartEnvironment {
  public:
    StartEnvironment() {
        for (const wchar_t* name : {L"TMP", L"TEMP", L"PATH"}) {
            const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
            std::wstring value(size, L'\0');
            if (size) value.resize(GetEnvironmentVariableW(name, value.data(), size));
            variables_.emplace_back(name, std::move(value));
        }
        wchar_t folder[MAX_PATH + 1] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        folder_ = folder;
    }
    // Through the runtime, so that its copy and the system's both change.
    void Restore() const {
        for (const auto& [name, value] : variables_) _wputenv((name + L"=" + value).c_str());
        SetCurrentDirectoryW(folder_.c_str());
    }

  private:
    std::vector<std::pair<std::wstring, std::wstring>> variables_;
    std::wstring folder_;
};

// Before the fixture is made, so that its constructor sees the fresh state too.
class FreshProcessState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        environment_.Restore();
        ResetProcessState();
    }
    const StartEnvironment environment_;
};

// gtest_main runs the tests, so the listener joins before it does.
[[maybe_unused]] const bool kListening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessState);
    return true;
}();

}  // namespace

}  // namespace testenv
