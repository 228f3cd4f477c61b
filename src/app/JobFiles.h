// The two exchange lists of a job, in the folder named by the TEMP variable:
// MIGRATE.TXT (drawings to migrate) and MIGRATED.TXT (what the host's
// extension reports as migrated).
#pragma once

#include <string>
#include <vector>

std::wstring GetMigrateListPath();
std::wstring GetMigratedListPath();

// Appends every line of a text file (lines of at most 1023 characters, read
// until the first failing read) to the list; an unreadable file leaves it
// unchanged.
void ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines);

constexpr size_t kMaxListLine = 1023;
