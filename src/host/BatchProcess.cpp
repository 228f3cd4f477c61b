#include "host/BatchProcess.h"

void BatchProcess::Adopt(const PROCESS_INFORMATION& created) {
    if (created.hThread) CloseHandle(created.hThread);
    process_.Reset(created.hProcess);
    id_ = created.hProcess ? created.dwProcessId : 0;
}

bool BatchProcess::QueryExitCode(DWORD& code) const {
    return IsSet() && GetExitCodeProcess(process_.Get(), &code) != FALSE;
}

bool BatchProcess::Terminate() {
    if (!IsSet()) return false;
    TerminateProcess(process_.Get(), 0);
    Release();
    return true;
}

void BatchProcess::Release() {
    process_.Reset();
    id_ = 0;
}
