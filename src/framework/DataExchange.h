// Data exchange between a dialog's members and its controls, as plain
// functions that a DoDataExchange calls in the order of its steps. Each
// returns whether the exchange is still good; after the first failure every
// later call does nothing, so "if (!DDX_...(dx, ...)) return;" stops a
// DoDataExchange at the failing control.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

namespace fw {

class CDataExchange {
  public:
    CDataExchange(HWND dialog, bool saveAndValidate)
        : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    HWND Dialog() const { return dialog_; }
    // True: controls to members (with validation); false: members to controls.
    bool Saving() const { return saveAndValidate_; }
    bool Ok() const { return !failed_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    // Stops the exchange at the control and gives it the focus (an edit with
    // its text selected), so the user can correct it.
    void Fail(int id);

  private:
    HWND dialog_;
    bool saveAndValidate_;
    bool failed_ = false;
};

// Attaches the control object to the template control (subclassing it) on
// the first exchange; a missing template control leaves it unattached.
bool DDX_Control(CDataExchange& dx, int id, CWnd& control);

// Check box state (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
bool DDX_Check(CDataExchange& dx, int id, int& state);
// One bit of a set of flags as a check box: ticked sets it, clear clears it.
bool DDX_CheckBit(CDataExchange& dx, int id, DWORD& flags, DWORD bit);

bool DDX_Text(CDataExchange& dx, int id, std::wstring& value);
// A whole number within [minimum, maximum]. Anything else in the edit, when
// saving, shows the range message (caption 2001), fails the exchange at the
// edit and leaves value unchanged.
bool DDX_Text(CDataExchange& dx, int id, int& value, int minimum, int maximum);

}  // namespace fw
