// Reading the beginning of a drawing file on Windows: the text of the Version
// column, and (PreviewCore::Load by path, drawings/core/PreviewCore.h) the
// preview image.
#pragma once

#include <string>

// The Version text of the drawing at path: a string of the resource library,
// or empty. Opens the file sharing reads only, reads its first 22 bytes and
// closes it; a file that cannot be opened or read counts as zeros.
std::wstring VersionText(const std::wstring& path);
