// The run record read at the next start, in its good and bad forms: what the
// user is told, whether the host profile goes back, and that the record and
// the run's files are gone afterwards. And one program per user.
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/RegKey.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

DWORD NoStartUpDialog() {
    DWORD value = 99;
    GetDword(HKEY_CURRENT_USER, ProfileKeyPath() + L"\\General", L"NoStartUpDialog", value);
    return value;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// UTF-16LE as the record is written, from ASCII.
std::string Wide(const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

}  // namespace

class RunRecoveryTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        SetDword(HKEY_CURRENT_USER, ProfileKeyPath() + L"\\General", L"NoStartUpDialog", 0);
        Logfile = dir_ / L"mig.log";
    }
    // A run as far as its record, its profile applied; the record's text.
    std::string RecordedRun(const std::wstring& list) {
        CAxvekTarvoProgram run;
        run.RunRecordFile = Record();
        run.Operation = 1;
        run.PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
        run.Drawings = {dir_ / L"a.dwg", dir_ / L"b.dwg"};
        run.DmlFile = list;
        temp_ = run.NewTempFile(L"SCR");
        WriteBytes(temp_, "x");
        run.WriteRunRecord();
        run.PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
        EXPECT_EQ(NoStartUpDialog(), 1u);
        return ReadBytes(Record());  // the program dies here
    }
    std::wstring Record() const { return dir_ / L"run record.txt"; }

    ScratchDir dir_;
    std::wstring temp_;
};

TEST_F(RunRecoveryTest, EachRecordIsFinishedOrRefusedWithItsMessage) {
    const std::wstring list = dir_ / L"my list.dml";
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> change;
        bool listThere;
        std::wstring told;
        bool profileBack;
    } cases[] = {
        {"whole", [](const std::string& r) { return r; }, true,
         fw::FormatResString(IDS_RECOVERY_DONE, {0, 2, 2}), true},
        {"results collected before the death",
         [](const std::string& r) {
             return Replaced(
                 Replaced(r, Wide("job.ResultsCollected=0"), Wide("job.ResultsCollected=1")),
                 Wide("job.MigratedCount=0"), Wide("job.MigratedCount=2"));
         },
         true, fw::FormatResString(IDS_RECOVERY_DONE, {2, 2, 0}), true},
        {"cut before its end",
         [](const std::string& r) { return r.substr(0, r.rfind(Wide("end="))); }, true,
         fw::FormatResString(IDS_RECOVERY_BAD, {fw::LoadResString(IDS_RECOVERY_TRUNCATED)}), true},
        {"another host",
         [](const std::string& r) { return Replaced(r, Wide("host=C:\\"), Wide("host=D:\\")); },
         true, L"", false},
        {"the list gone", [](const std::string& r) { return r; }, false,
         fw::FormatResString(IDS_RECOVERY_BAD,
                             {fw::FormatResString(IDS_RECOVERY_LIST_GONE, {list})}),
         true},
        {"not a record", [](const std::string&) { return std::string("\xFF\xFEgarbage", 9); }, true,
         fw::FormatResString(IDS_RECOVERY_BAD, {fw::LoadResString(IDS_RECOVERY_TRUNCATED)}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(Logfile.c_str());
        SetDword(HKEY_CURRENT_USER, ProfileKeyPath() + L"\\General", L"NoStartUpDialog", 0);
        WriteBytes(list, ListFileBytes({{false, dir_ / L"a.dwg"}, {false, dir_ / L"b.dwg"}}));
        const std::string recorded = RecordedRun(list);
        WriteBytes(Record(), c.change(recorded));
        if (!c.listThere) DeleteFileW(list.c_str());

        CAxvekTarvoProgram next;
        next.RunRecordFile = Record();
        next.LoadSettings();
        {
            DialogCatcher box(fw::LoadResString(IDS_CAPTION));
            next.RecoverInterruptedRun();
            ASSERT_TRUE(box.Seen());
            if (!c.told.empty())
                EXPECT_EQ(box.Texts().back(), c.told);
            else
                EXPECT_NE(box.AllText().find(L"D:\\Program Files"), std::wstring::npos)
                    << Narrow(box.AllText());
        }
        EXPECT_EQ(NoStartUpDialog(), c.profileBack ? 0u : 1u);
        EXPECT_FALSE(FileExists(Record()));
        EXPECT_EQ(FileExists(temp_), std::string(c.name) == "not a record");
        // This start's own job is untouched, and it goes on with the user's list.
        EXPECT_FALSE(next.CounterFile.empty());
        const bool finished = c.told.find(L"were migrated") != std::wstring::npos;
        EXPECT_EQ(next.ListToOpen, finished ? list : L"");
        EXPECT_EQ(next.DmlFile, L"");
        // Results are collected once: by the old run or now.
        const size_t summaries =
            ReadBytes(Logfile).find(Ansi(fw::LoadResString(IDS_LOG_RESULT_TITLE))) !=
            std::string::npos;
        EXPECT_EQ(summaries, std::string(c.name) == "whole" ? 1u : 0u);
        EXPECT_TRUE(next.Drawings.empty());
        next.ExitInstance();
        DeleteFileW(temp_.c_str());
    }
}

TEST_F(RunRecoveryTest, OneProgramRunsPerUser) {
    auto first = std::make_unique<CAxvekTarvoProgram>();
    EXPECT_TRUE(first->ClaimSingleInstance());
    {
        CAxvekTarvoProgram second;
        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        EXPECT_FALSE(second.ClaimSingleInstance());
        ASSERT_TRUE(box.Seen());
        EXPECT_EQ(box.Texts().back(), fw::LoadResString(IDS_ALREADY_RUNNING));
    }
    first.reset();
    CAxvekTarvoProgram third;
    EXPECT_TRUE(third.ClaimSingleInstance());
}
