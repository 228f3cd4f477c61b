// After an update run: the summary in the log and the marks in the user's list.
#include "app/AxvekTarvoApp.h"
#include "app/JobFiles.h"
#include "app/MigrationLog.h"
#include "app/SelectedDrawings.h"
#include "core/Text.h"
#include "drawings/AxvekFile.h"
#include "framework/Resources.h"
#include "resources/ids.h"

void CAxvekTarvoApp::CollectResults() {
    const long long total = static_cast<long long>(Drawings.size());
    std::vector<std::wstring> migratedList;
    ReadTextLines(GetMigratedListPath(), migratedList);

    const SelectedDrawings selected(Drawings);
    // A drawing redone after a stop and resume is listed once more; it is
    // still one drawing migrated.
    text::NoCaseSet counted;
    for (const std::wstring& line : migratedList) {
        if (!selected.Contains(line)) continue;
        const std::wstring longForm = SelectedDrawings::LongForm(line);
        counted.insert(longForm.empty() ? line : longForm);
    }
    const long long migrated = static_cast<long long>(counted.size());

    WriteLogHeader(IDS_LOG_RESULT_RUN);
    std::wstring summary = L"\n" + fw::FormatResString(IDS_LOG_RESULT_TITLE, {}) + L"\n" +
                           fw::FormatResString(IDS_LOG_RESULT_TOTAL, {total}) + L"\n" +
                           fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {migrated}) + L"\n";
    if (total - migrated > 0)
        summary += L"\n" + fw::FormatResString(IDS_LOG_RESULT_MISSING, {total - migrated}) + L"\n";
    AppendLogText(summary);

    if (DmlFile.empty() || DmlIsTemporary || migratedList.empty()) return;
    // The extension reports a drawing as it opened it, which may be the short
    // form the job wrote for a path the code page could not hold.
    std::vector<std::wstring> done = migratedList;
    for (const std::wstring& line : migratedList) {
        const std::wstring longForm = SelectedDrawings::LongForm(line);
        if (!longForm.empty()) done.push_back(longForm);
    }
    AxvekDmlFile(DmlFile).MarkList(done);
}
