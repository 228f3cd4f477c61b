// Clearing what the previous job left and writing what every run of this job
// starts from.
#include <windows.h>

#include "app/AxvekTarvoApp.h"
#include "app/JobFiles.h"
#include "app/MigrationLog.h"
#include "drawings/AxvekFile.h"
#include "framework/TextStream.h"
#include "host/Language.h"

void CAxvekTarvoApp::PrepareJob() {
    // On disk before the profile changes: a program that dies from here on
    // leaves what the next start needs to put it back.
    WriteRunRecord();
    PrepareHostProfile(kProfileApply);
    DeleteFileW(Logfile.c_str());
    DeleteFileW(GetMigrateListPath().c_str());
    DeleteFileW(GetMigratedListPath().c_str());

    if (DmlFile.empty()) {
        DmlFile = NewTempFile(L"DML");
        AxvekDmlFile list(DmlFile);
        if (list.Open(true) && list.WriteList(Drawings))
            DmlIsTemporary = true;
        else
            DmlFile.clear();
    }

    fw::TextStream migrate(GetMigrateListPath(), fw::TextStream::Mode::Write,
                           SystemLanguageLocale());
    if (migrate.IsOpen()) {
        for (const std::wstring& drawing : Drawings) {
            const std::wstring path = PathForTextFile(drawing, Notes);
            if (!path.empty()) migrate.WriteLine(path);
        }
    }

    DrawingScript = NewTempFile(L"SCR");
}
