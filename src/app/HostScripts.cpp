// The head and tail scripts of a run (the lines themselves are in
// app/core/HostScriptLines).
#include "app/AxvekTarvoApp.h"
#include "app/MigrationLog.h"
#include "app/core/HostScriptLines.h"
#include "drawings/AxvekFilenm.h"
#include "framework/TextStream.h"
#include "host/Language.h"

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
    if (!hostscript::HeadScriptLines(values, lines)) lines = hostscript::RefusedHeadScriptLines();
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
        settings.SetupDrawing = PathForTextFile(SetupDrawing);
    WriteScript(path, hostscript::UpdateTailLines(settings, selectedDrawings));
}
