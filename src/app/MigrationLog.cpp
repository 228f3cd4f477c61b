#include "app/MigrationLog.h"

#include <ctime>
#include <cwchar>

#include "app/AxvekTarvoApp.h"
#include "framework/PathNames.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace {

// The runtime ends the process on a conversion it does not know, and the
// format comes from a translated resource: check it first.
bool IsSafeTimeFormat(const std::wstring& format) {
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') continue;
        if (++i < format.size() && format[i] == L'#') ++i;
        if (i >= format.size() || !wcschr(L"aAbBcdHIjmMpSUwWxXyYzZ%", format[i])) return false;
    }
    return true;
}

}  // namespace

void AppendLogText(const std::wstring& text) {
    fw::TextStream log(Logfile, fw::TextStream::Mode::Append, SystemLanguageLocale());
    log.Write(text);
}

void AppendLogLine(const std::wstring& line) {
    AppendLogText(line + L"\n");
}

void AppendLogMessage(UINT id) {
    AppendLogLine(fw::LoadResString(id));
}

void AppendLogDetail(const std::wstring& text) {
    AppendLogLine(L"\t" + text);
}

std::wstring LogTimeStamp(const std::wstring& format) {
    const std::wstring used =
        (format.empty() || !IsSafeTimeFormat(format)) ? L"%Y-%m-%d %H:%M:%S" : format;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return std::wstring();
    // Some runtimes neither stop at the limit with 0 nor terminate the text:
    // format into a larger zeroed buffer and apply the limit of 128 here.
    wchar_t stamp[512] = {};
    const size_t length = std::wcsftime(stamp, 511, used.c_str(), local);
    if (length == 0 || length >= 128) return std::wstring();
    return std::wstring(stamp, length);
}

void CAxvekTarvoApp::WriteLogHeader(UINT runLineId) {
    const std::wstring stamp = LogTimeStamp(fw::LoadResString(IDS_LOG_TIME_FORMAT));
    const std::wstring rule = fw::LoadResString(IDS_LOG_RULE);
    const std::wstring margin = fw::LoadResString(IDS_LOG_MARGIN);
    std::wstring header = L"\n" + rule + L"\n" + fw::LoadResString(IDS_LOG_TITLE) + L"\n";
    if (Operation == 1) header += margin + L"\n" + fw::LoadResString(runLineId) + L"\n";
    header += margin + L"\n" + margin + stamp + L"\n" + rule + L"\n";
    // One write, so that no other writer's line lands inside the header.
    AppendLogText(header);
}

void RunNotes::Add(const std::wstring& line) {
    if (written_.count(line)) return;
    for (const std::wstring& held : held_)
        if (held == line) return;
    held_.push_back(line);
}

void RunNotes::WriteHeld() {
    if (held_.empty()) return;
    std::wstring text;
    for (const std::wstring& line : held_) {
        text += L"\t" + line + L"\n";
        written_.insert(line);
    }
    AppendLogText(text);
    held_.clear();
}

std::wstring TextFileForm(const std::wstring& path) {
    const fw::TextLocale locale = SystemLanguageLocale();
    if (fw::TextStream::CanRepresent(path, locale)) return path;
    const std::wstring shortPath = fw::ShortPathName(path);
    if (!shortPath.empty() && fw::TextStream::CanRepresent(shortPath, locale)) return shortPath;
    return std::wstring();
}

std::wstring PathForTextFile(const std::wstring& path, RunNotes& notes) {
    const std::wstring form = TextFileForm(path);
    if (form.empty()) notes.Add(fw::FormatResString(IDS_LOG_UNREPRESENTABLE_PATH, {path}));
    return form;
}
