// The process-wide state of the program (caches, counters, the log path) put
// back to what a fresh start has. Every test starts from there: a listener
// calls this before each one, so no test sees what an earlier test left.
#pragma once

namespace testenv {

void ResetProcessState();

}  // namespace testenv
