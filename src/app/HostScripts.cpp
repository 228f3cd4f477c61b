// The head and tail scripts of a run (the lines themselves are in
// app/core/HostScriptLines).
#include "app/AxvekTarvoApp.h"
#include "app/MigrationLog.h"
#include "app/core/HostScriptLines.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace {

// A script that cannot be created stays missing; the run goes on without it.
void WriteScript(const std::wstring& path, const std::vector<std::wstring>& lines) {
    fw::TextStream out(path, fw::TextStream::Mode::Write, SystemLanguageLocale());
    if (!out.IsOpen()) return;
    std::wstring all;
    for (const std::wstring& line : lines) {
        all += line;
        all += L'\n';
    }
    out.Write(all);
}

}  // namespace

void CAxvekTarvoApp::WriteHeadScript(const std::wstring& path) {
    hostscript::HeadValues values;
    values.MigrationFolder = MigrationFolder;
    values.LogPath = AxvekFilenm(Logfile, true).FullPath;
    values.LogFlags = LogFlags;
    std::vector<std::wstring> lines;
    hostscript::HeadValue refused = hostscript::HeadValue::None;
    if (!hostscript::HeadScriptLines(values, lines, &refused)) {
        lines = hostscript::RefusedHeadScriptLines();
        // Otherwise the log would only say that nothing was migrated.
        switch (refused) {
            case hostscript::HeadValue::ExtensionPath:
                Notes.Add(fw::FormatResString(IDS_LOG_REFUSED_EXTENSION,
                                              {MigrationFolder + L"\\axmigr.orx"}));
                break;
            case hostscript::HeadValue::LogPath:
                Notes.Add(fw::FormatResString(IDS_LOG_REFUSED_LOG_PATH, {Logfile}));
                break;
            default:
                Notes.Add(
                    fw::FormatResString(IDS_LOG_REFUSED_LOG_FLAGS,
                                        {static_cast<long long>(static_cast<int32_t>(LogFlags))}));
                break;
        }
    }
    WriteScript(path, lines);
}

void CAxvekTarvoApp::WriteTailScript(const std::wstring& path, bool scanForm,
                                     bool selectedDrawings) {
    if (scanForm) {
        WriteScript(path, hostscript::ScanTailLines(Operation));
        return;
    }
    hostscript::TailSettings settings;
    settings.Operation = Operation;
    settings.UpdateFlags = UpdateFlags;
    settings.OptionFlags = OptionFlags;
    settings.SablonFlags = SablonFlags;
    settings.OrtxaFlags = OrtxaFlags;
    // Only the selected drawings' tail carries the set-up drawing.
    if (selectedDrawings && (OrtxaFlags & 0x1) && !SetupDrawing.empty())
        settings.SetupDrawing = PathForTextFile(SetupDrawing, Notes);
    WriteScript(path, hostscript::UpdateTailLines(settings, selectedDrawings));
}
