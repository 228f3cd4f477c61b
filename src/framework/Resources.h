// The module's resource handle (where strings, templates and icons are loaded
// from) and string loading through it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "core/FileCause.h"
#include "core/Text.h"

namespace fw {

HINSTANCE ResourceHandle();
void SetResourceHandle(HINSTANCE module);

// The string with that id from the resource handle; empty when it is missing.
std::wstring LoadResString(UINT id);

// LoadResString(id) formatted with the arguments (text::Format).
std::wstring FormatResString(UINT id, std::initializer_list<text::FormatArg> args);

// The reason text for a file-error cause (strings 2301 to 2314; 2301 for a
// cause without a text of its own).
std::wstring FileErrorReason(FileCause cause);

// A message box without owner window whose caption is string 2001 (the
// program's title). Returns the button pressed.
int ShowMessage(const std::wstring& message, UINT flags, HWND owner = nullptr);

}  // namespace fw
