// The host's own log file, which the host names in "LOGFILENAME" under the
// settings key while it runs.
#pragma once

#include <string>

// The log the host names now; empty when it names none.
std::wstring CurrentHostLog();

// Deletes the host log named now, and the value itself.
void DeleteHostLog();
