// The head and tail scripts of a run (the lines themselves are in
// app/core/HostScriptLines).
#include "app/AxvekTarvoApp.h"
#include "app/MigrationLog.h"
#include "app/core/HostScriptLines.h"
#include "drawings/AxvekFilenm.h"
#include "framework/File.h"
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

// The log in a form the script's code page can hold. A name it lacks goes in
// its short form, which only a file that exists has: the log is made first
// (the run appends its header to it next anyway).
std::wstring LogFormForScript() {
    if (fw::TextStream::CanRepresent(Logfile, SystemLanguageLocale())) return Logfile;
    fw::CFile made;
    made.Open(Logfile, fw::CFile::modeCreate | fw::CFile::modeNoTruncate | fw::CFile::modeWrite |
                           fw::CFile::shareDenyNone);
    made.Close();
    return TextFileForm(Logfile);
}

}  // namespace

void CAxvekTarvoApp::WriteHeadScript(const std::wstring& path) {
    // Both names reach the host through a script in the system code page;
    // written with "?" for what it lacks they would name nothing.
    const std::wstring folder = TextFileForm(MigrationFolder);
    const std::wstring log = LogFormForScript();
    if (folder.empty() || log.empty()) {
        if (folder.empty())
            Notes.Add(fw::FormatResString(IDS_LOG_UNWRITABLE_EXTENSION,
                                          {MigrationFolder + L"\\axmigr.orx"}));
        if (log.empty()) Notes.Add(fw::FormatResString(IDS_LOG_UNWRITABLE_LOG_PATH, {Logfile}));
        WriteScript(path, hostscript::RefusedHeadScriptLines());
        return;
    }
    hostscript::HeadValues values;
    values.MigrationFolder = folder;
    values.LogPath = AxvekFilenm(log, true).FullPath;
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
    // Only the selected drawings' tail carries the set-up drawing. One that
    // no form in the code page can name is left out, and the log says so: an
    // empty or garbled name would fail in the host for every drawing.
    if (selectedDrawings && (OrtxaFlags & 0x1) && !SetupDrawing.empty()) {
        settings.SetupDrawing = TextFileForm(SetupDrawing);
        if (settings.SetupDrawing.empty()) {
            settings.SetupDrawingLeftOut = true;
            Notes.Add(fw::FormatResString(IDS_LOG_UNWRITABLE_SETUP_DRAWING, {SetupDrawing}));
        }
    }
    WriteScript(path, hostscript::UpdateTailLines(settings, selectedDrawings));
}
