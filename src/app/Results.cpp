// After an update run: the summary in the log and the marks in the user's list.
#include <algorithm>
#include <atomic>
#include <map>
#include <system_error>
#include <thread>

#include "app/AxvekTarvoApp.h"
#include "app/JobFiles.h"
#include "app/MigrationLog.h"
#include "app/SelectedDrawings.h"
#include "app/core/RunOutcome.h"
#include "core/Text.h"
#include "drawings/AxvekFile.h"
#include "drawings/DrawingHeader.h"
#include "drawings/core/DrawingVersions.h"
#include "framework/Resources.h"
#include "resources/ids.h"

namespace {

constexpr size_t kStampThreads = 8;

UINT NotSavedReason(runoutcome::SaveCheck check) {
    switch (check) {
        case runoutcome::SaveCheck::Unreadable:
            return IDS_LOG_NOT_SAVED_UNREADABLE;
        case runoutcome::SaveCheck::NotCurrent:
            return IDS_LOG_NOT_SAVED_FORMAT;
        default:
            return IDS_LOG_NOT_SAVED_UNCHANGED;
    }
}

struct StampRead {
    bool Readable = false;
    DrawingStamp Stamp;
};

// Each file's stamp, read by a few threads at once: most of the time of an
// open goes on waiting for the file system (a network share, say), which
// the others meanwhile use.
std::vector<StampRead> ReadStamps(const std::vector<std::wstring>& paths) {
    std::vector<StampRead> stamps(paths.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++)
            stamps[i].Readable = ReadDrawingStamp(paths[i], stamps[i].Stamp);
    };
    const size_t helpers = std::min<size_t>(kStampThreads - 1, paths.size() / 64);
    std::vector<std::thread> threads;
    try {
        for (size_t t = 0; t < helpers; ++t) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer helpers, or none: this thread reads what they leave.
    }
    work();
    for (std::thread& thread : threads) thread.join();
    return stamps;
}

// The reasons of one run, each under the number of its drawing in MIGRATE.TXT
// (0 for a drawing not in it), so that they stand in the order of the run.
class Reasons {
  public:
    explicit Reasons(const std::vector<std::wstring>& migrateList) {
        for (size_t i = 0; i < migrateList.size(); ++i)
            numbers_.emplace(text::ToLower(migrateList[i]), i + 1);
    }
    void Add(const std::wstring& drawing, std::wstring reason) {
        const auto it = numbers_.find(text::ToLower(drawing));
        Add(it == numbers_.end() ? 0 : it->second, std::move(reason));
    }
    void Add(size_t number, std::wstring reason) { byNumber_[number].push_back(std::move(reason)); }
    // As detail lines, one write.
    std::wstring Text() const {
        std::wstring text;
        for (const auto& entry : byNumber_)
            for (const std::wstring& reason : entry.second) text += L"\t" + reason + L"\n";
        return text;
    }

  private:
    std::map<std::wstring, size_t> numbers_;
    std::map<size_t, std::vector<std::wstring>> byNumber_;
};

}  // namespace

void CAxvekTarvoApp::CollectResults() {
    const long long total = static_cast<long long>(Drawings.size());
    std::vector<std::wstring> migratedList;
    ReadTextLines(GetMigratedListPath(), migratedList);
    Reasons reasons(MigrateList);

    // The extension reports a drawing before the host saves it: only a file
    // that this run wrote in the current format counts. Each is opened once.
    std::vector<std::wstring> looked;
    {
        text::NoCaseSet seen;
        for (const std::wstring& line : migratedList)
            if (seen.insert(line).second) looked.push_back(line);
    }
    // Each file opened by the name the user chose it by, which has the case
    // the file system has: a name in another case costs some a search.
    const SelectedDrawings selected(Drawings);
    std::vector<std::wstring> files;
    files.reserve(looked.size());
    for (const std::wstring& line : looked) {
        const std::wstring* chosen = selected.Find(line);
        files.push_back(chosen ? *chosen : line);
    }
    const std::vector<StampRead> stamps = ReadStamps(files);
    std::vector<std::wstring> saved;
    for (size_t i = 0; i < looked.size(); ++i) {
        const runoutcome::SaveCheck check =
            runoutcome::CheckSave(stamps[i].Readable, stamps[i].Stamp.LastWrite,
                                  stamps[i].Stamp.VersionCode, UpdateRunStarted, kCurrentVersion);
        if (check == runoutcome::SaveCheck::Saved)
            saved.push_back(looked[i]);
        else
            reasons.Add(looked[i], fw::FormatResString(NotSavedReason(check), {looked[i]}));
    }
    // A host that ended by itself with an exception or error code.
    const runoutcome::RunFile run = ReadRunFile();
    for (const auto& [number, code] : run.ExitCodes) {
        if (code == 0 || number < 1 || static_cast<size_t>(number) > MigrateList.size()) continue;
        const std::wstring& drawing = MigrateList[static_cast<size_t>(number) - 1];
        reasons.Add(static_cast<size_t>(number),
                    fw::FormatResString(IDS_LOG_HOST_EXIT_CODE,
                                        {drawing, text::Format(L"0x%08X", {code})}));
    }

    // A drawing redone after a stop and resume is listed once more; it is
    // still one drawing migrated.
    text::NoCaseSet counted;
    for (const std::wstring& line : saved) {
        if (!selected.Contains(line)) continue;
        const std::wstring longForm = SelectedDrawings::LongForm(line);
        counted.insert(longForm.empty() ? line : longForm);
    }
    const long long migrated = static_cast<long long>(counted.size());
    MigratedCount = migrated;

    // The reasons stand above the summary, whose last line points up to them.
    const std::wstring reasonLines = reasons.Text();
    if (!reasonLines.empty()) AppendLogText(reasonLines);
    WriteLogHeader(IDS_LOG_RESULT_RUN);
    std::wstring summary = L"\n" + fw::FormatResString(IDS_LOG_RESULT_TITLE, {}) + L"\n" +
                           fw::FormatResString(IDS_LOG_RESULT_TOTAL, {total}) + L"\n" +
                           fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {migrated}) + L"\n";
    if (total - migrated > 0)
        summary += L"\n" + fw::FormatResString(IDS_LOG_RESULT_MISSING, {total - migrated}) + L"\n";
    AppendLogText(summary);

    if (!DmlFile.empty() && !DmlIsTemporary && !migratedList.empty()) MarkMigrated(saved);
    // A start after this program died does not collect them again.
    ResultsCollected = true;
    if (RunRecordWritten) WriteRunRecord();
}

void CAxvekTarvoApp::MarkMigrated(const std::vector<std::wstring>& saved) {
    // The extension reports a drawing as it opened it, which may be the short
    // form the job wrote for a path the code page could not hold.
    std::vector<std::wstring> done = saved;
    for (const std::wstring& line : saved) {
        const std::wstring longForm = SelectedDrawings::LongForm(line);
        if (!longForm.empty()) done.push_back(longForm);
    }
    AxvekDmlFile(DmlFile).MarkList(done);
}
