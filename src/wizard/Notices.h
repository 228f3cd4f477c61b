// The two notices of the Begin page: the migration profile is missing
// (CRunVekDlg, template 2149), and the safety notice before a migration
// (CSafetyDlg, template 2148; Cancel declines). Each shows a system icon.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"

class CRunVekDlg : public fw::CDialog {
  public:
    explicit CRunVekDlg(HWND parent = nullptr);

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;

  private:
    fw::CStatic icon_;
};

class CSafetyDlg : public fw::CDialog {
  public:
    explicit CSafetyDlg(HWND parent = nullptr);

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;

  private:
    fw::CStatic icon_;
};
