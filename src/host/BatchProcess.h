// The batch process of a run, with one owner for its handle: the
// application's HostProcess. The run starts put a new process in, the stops
// and the run monitor (when it sees the process ended) take it out again.
// Nobody keeps a copy of the handle, so a handle closed at the end of a run
// can never reach TerminateProcess later, whatever the system has given its
// value to since.
#pragma once

#include <windows.h>

#include "framework/Handle.h"

class BatchProcess {
  public:
    BatchProcess() = default;
    BatchProcess(const BatchProcess&) = delete;
    BatchProcess& operator=(const BatchProcess&) = delete;

    // Takes over a process just created: keeps its process handle and id and
    // closes its thread handle. A process held before is let go first.
    void Adopt(const PROCESS_INFORMATION& created);

    bool IsSet() const { return process_.Valid(); }
    explicit operator bool() const { return IsSet(); }
    // The process handle, for waiting on and querying; nullptr when none.
    HANDLE Handle() const { return process_.Valid() ? process_.Get() : nullptr; }
    DWORD Id() const { return id_; }

    // The exit code (STILL_ACTIVE while it runs); false when no process is
    // held or the query failed.
    bool QueryExitCode(DWORD& code) const;
    // Ends the process with exit code 0 and lets go of it. False when no
    // process was held.
    bool Terminate();
    // Closes the handle and forgets the process; a running process goes on.
    void Release();

  private:
    fw::UniqueHandle process_;
    DWORD id_ = 0;
};
