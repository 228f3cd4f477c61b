#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/MigrationLog.h"
#include "core/Text.h"
#include "framework/PathNames.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/Language.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

const char kClosing[] =
    "_axvekend\r\n_logfilemode\r\n0\r\n_orx\r\n_unload\r\naxmigr.orx\r\n(axresetdbmod T)\r\n"
    "_.QUIT\r\n";

class HostScriptsTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        Logfile = L"C:\\Temp\\Mig.log";
        app_->LogFlags = 15;
    }
    std::string Head() {
        app_->WriteHeadScript(dir_ / L"head.scr");
        return ReadBytes(dir_ / L"head.scr");
    }
    std::string Tail(bool scanForm, bool selected) {
        app_->WriteTailScript(dir_ / L"tail.scr", scanForm, selected);
        return ReadBytes(dir_ / L"tail.scr");
    }
    void Flags(DWORD update, DWORD option, DWORD sablon, DWORD ortxa) {
        app_->UpdateFlags = update;
        app_->OptionFlags = option;
        app_->SablonFlags = sablon;
        app_->OrtxaFlags = ortxa;
    }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
};

}  // namespace

TEST_F(HostScriptsTest, HeadScriptLoadsTheExtensionAndPassesTheLogWithForwardSlashes) {
    EXPECT_EQ(Head(),
              "_EXPERT\r\n0\r\n_orx\r\n_load\r\n"
              "\"C:\\Program Files\\Kelvane\\Orthex R25.1\\ortxa\\migration\\axmigr.orx\"\r\n"
              "_axvekloginfo\r\nc:/temp/mig.log\r\n15\r\n(axresetdbmod T)\r\n");
}

TEST_F(HostScriptsTest, AHeadScriptWhoseValueDoesNotFitEndsTheHostAndTheLogSaysWhich) {
    const std::wstring longFolder = L"C:\\" + std::wstring(1030, L'm');
    const std::wstring longLog = L"C:\\" + std::wstring(1030, L'x') + L".log";
    struct Case {
        std::wstring migrationFolder, logfile;
        DWORD logFlags;
        std::wstring detail;
    } cases[] = {
        {longFolder, L"C:\\l.log", 15,
         fw::FormatResString(IDS_LOG_REFUSED_EXTENSION, {longFolder + L"\\axmigr.orx"})},
        {L"C:\\m", longLog, 15, fw::FormatResString(IDS_LOG_REFUSED_LOG_PATH, {longLog})},
        {L"C:\\m", L"C:\\l.log", 1000000000,
         fw::FormatResString(IDS_LOG_REFUSED_LOG_FLAGS, {1000000000})},
        {L"C:\\m", L"C:\\l.log", 0x80000000u,
         fw::FormatResString(IDS_LOG_REFUSED_LOG_FLAGS, {-2147483647 - 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.detail));
        app_->Notes = RunNotes();
        app_->MigrationFolder = c.migrationFolder;
        Logfile = c.logfile;
        app_->LogFlags = c.logFlags;
        EXPECT_EQ(Head(), "_.QUIT\r\n");
        // For the log, under the run's header.
        EXPECT_EQ(app_->Notes.Held(), std::vector<std::wstring>{c.detail});
    }
    app_->Notes = RunNotes();
    app_->MigrationFolder = L"C:\\m";
    app_->LogFlags = 999999999;
    EXPECT_NE(Head().find("\r\n999999999\r\n"), std::string::npos);
    EXPECT_TRUE(app_->Notes.Held().empty());
}

TEST_F(HostScriptsTest, ScanTailByOperation) {
    app_->Operation = 1;
    EXPECT_EQ(Tail(true, false), std::string("_axvekscan\r\n") + kClosing);
    app_->Operation = 2;
    EXPECT_EQ(Tail(true, false), std::string("_axvekanalyze\r\n") + kClosing);
}

TEST_F(HostScriptsTest, UpdateTailsAfterTheOptionsPage) {
    Flags(0, 0, 0, 8);
    EXPECT_EQ(Tail(false, true),
              std::string("_axvekmigr\r\n_.QSAVE\r\n_axvekmode\r\n1\r\n_.QSAVE\r\n") + kClosing);
    EXPECT_EQ(Tail(false, false), std::string("_axvekmigr\r\n_.QSAVE\r\n") + kClosing);
    Flags(0, 0, 0, 0);
    EXPECT_EQ(Tail(false, true), std::string("_axvekmigr\r\n_.QSAVE\r\n") + kClosing);
}

TEST_F(HostScriptsTest, SetUpDrawingIsWrittenInTheSystemCodePage) {
    Flags(0, 4, 0, 0x1);
    app_->SetupDrawing = L"C:\\Normen\\M" + LocalLetter() + L"ller Vorlage.dwg";
    EXPECT_EQ(Tail(false, true), "_axvekmigr\r\n_.QSAVE\r\n_EXPERT\r\n5\r\n_axsetupdwg\r\n_T\r\n" +
                                     Ansi(app_->SetupDrawing) +
                                     "\r\n_EXPERT\r\n0\r\n"
                                     "_axvekmode\r\n0\r\n_.QSAVE\r\n" +
                                     kClosing);
    EXPECT_TRUE(app_->Notes.Held().empty());
}

// "Č" is in none of the system code pages the tests run under (1252, 932).
TEST_F(HostScriptsTest, NamesTheCodePageLacksReachTheHostInTheirShortForm) {
    const std::wstring folder = dir_ / L"\u010cert\u017e migration";
    ASSERT_FALSE(fw::TextStream::CanRepresent(folder, SystemLanguageLocale()));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    app_->MigrationFolder = folder;
    // Not there yet, like the log of every new job.
    Logfile = dir_ / L"Migrace \u010c\u017e.log";
    const std::vector<std::string> head = SplitCrLf(Head());
    ASSERT_EQ(head.size(), 9u);
    EXPECT_EQ(head[4], "\"" + Narrow(fw::ShortPathName(folder)) + "\\axmigr.orx\"");
    // The log line names the log: lower case, "/", and still that file.
    std::wstring log(head[6].begin(), head[6].end());
    EXPECT_EQ(log, text::ToLower(log));
    for (wchar_t& c : log)
        if (c == L'/') c = L'\\';
    WriteBytes(Logfile, "header");
    EXPECT_EQ(ReadBytes(log), "header");

    Flags(0, 4, 0, 0x1);
    app_->SetupDrawing = dir_ / L"Vzor \u010c.dwt";
    WriteBytes(app_->SetupDrawing, "OX1015");
    const std::vector<std::string> tail = SplitCrLf(Tail(false, true));
    ASSERT_GT(tail.size(), 6u);
    EXPECT_EQ(tail[6], Narrow(fw::ShortPathName(app_->SetupDrawing)));
    EXPECT_TRUE(app_->Notes.Held().empty());
}

TEST_F(HostScriptsTest, NamesNoFormInTheCodePageHoldsAreLeftOutAndTheLogSaysWhy) {
    // Missing, so without a short form.
    const std::wstring folder = dir_ / L"\u010cert\u017e migration";
    const std::wstring setup = dir_ / L"Vzor \u010c.dwt";
    struct Case {
        std::wstring migrationFolder, logfile;
        std::wstring detail;
    } cases[] = {
        {folder, dir_ / L"l.log",
         fw::FormatResString(IDS_LOG_UNWRITABLE_EXTENSION, {folder + L"\\axmigr.orx"})},
        {dir_.Path(), dir_ / L"\u010c\\l.log",
         fw::FormatResString(IDS_LOG_UNWRITABLE_LOG_PATH, {dir_ / L"\u010c\\l.log"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.detail));
        app_->Notes = RunNotes();
        app_->MigrationFolder = c.migrationFolder;
        Logfile = c.logfile;
        EXPECT_EQ(Head(), "_.QUIT\r\n");
        EXPECT_EQ(app_->Notes.Held(), std::vector<std::wstring>{c.detail});
    }

    // Without its set-up drawing the block still sets the mode and saves.
    app_->Notes = RunNotes();
    Flags(0, 4, 0, 0x1);
    app_->SetupDrawing = setup;
    EXPECT_EQ(Tail(false, true),
              std::string("_axvekmigr\r\n_.QSAVE\r\n_axvekmode\r\n0\r\n_.QSAVE\r\n") + kClosing);
    EXPECT_EQ(app_->Notes.Held(), std::vector<std::wstring>{fw::FormatResString(
                                      IDS_LOG_UNWRITABLE_SETUP_DRAWING, {setup})});
}

TEST_F(HostScriptsTest, ScriptsAreRewrittenInFullAndAMissingFolderIsNoError) {
    WriteBytes(dir_ / L"tail.scr", std::string(5000, 'x'));
    app_->Operation = 1;
    EXPECT_EQ(Tail(true, false), std::string("_axvekscan\r\n") + kClosing);
    app_->WriteHeadScript(dir_ / L"missing\\head.scr");
    app_->WriteTailScript(dir_ / L"missing\\tail.scr", false, true);
    EXPECT_FALSE(FileExists(dir_ / L"missing\\head.scr"));
}
