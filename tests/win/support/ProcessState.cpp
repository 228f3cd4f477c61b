#include "support/ProcessState.h"

#include <gtest/gtest.h>

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

// Before the fixture is made, so that its constructor sees the fresh state too.
class FreshProcessState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ResetProcessState(); }
};

// gtest_main runs the tests, so the listener joins before it does.
[[maybe_unused]] const bool kListening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessState);
    return true;
}();

}  // namespace

}  // namespace testenv
