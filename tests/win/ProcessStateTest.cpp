#include "support/ProcessState.h"

#include "app/AxvekTarvoApp.h"
#include "drawings/AxvekFilenm.h"
#include "host/HostKeys.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

struct StateCase {
    const char* what;
    void (*leave)();  // what a test may leave behind
    bool (*fresh)();  // true in a process that has just started
};

const StateCase kStates[] = {
    {"temporary-name counter",
     [] {
         AxvekFilenm name;
         name.MakeTempName(L"");
     },
     [] { return AxvekFilenm::TempCounter() == 0; }},
    {"host key paths",
     [] {
         InstallHost();
         ProductKeyPath();
         EditionKeyPath();
         ProfileKeyPath();
         SetString(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex\\R25.1", L"CurVer", L"OTHER");
     },
     [] {
         return ProductKeyPath() == ComputeProductKeyPath() &&
                EditionKeyPath() == ComputeEditionKeyPath();
     }},
    {"profile descriptor", [] { UseMigrationProfile(); },
     [] { return MigrationProfileName() == L"<<ORTXA>>"; }},
    {"log path", [] { Logfile = L"C:\\Elsewhere\\Mig.log"; },
     [] { return Logfile == L"OrtxAMigr.log"; }},
};

}  // namespace

class ProcessStateTest : public WinTest {};

TEST_F(ProcessStateTest, EachStartsFreshAndComesBackAfterAReset) {
    for (const StateCase& c : kStates) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.fresh());  // the listener reset it before this test
        c.leave();
        EXPECT_FALSE(c.fresh());
        ResetProcessState();
        EXPECT_TRUE(c.fresh());
    }
}
