// The run monitor's window (template 2134): it runs the phases of a job
// through RunMonitor and shows their progress: phase labels with their end
// marks, the drawing count, the number and name of the drawing in work, the
// progress bar and a status line; Stop, Resume and OK.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "host/RunMonitor.h"
#include "wizard/PaintedControls.h"

class CProgressDlg : public fw::CDialog, public RunMonitor {
  public:
    explicit CProgressDlg(HWND parent = nullptr);

    INT_PTR RunModal() override { return DoModal(); }

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    // OK ends the dialog once no run is left to resume; before that it opens
    // the migration log and the dialog stays.
    void OnOK() override;
    // Escape and the close box: ignored while the run is watched.
    void OnCancel() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    void ShowCounts(int count, int current) override;
    void ShowCurrentNumber(int current) override;
    void ShowDrawing(const std::wstring& path) override;
    void ShowProgress(int position) override;
    void ShowScanEnded() override;
    void ShowUpdateEnded() override;
    void ShowMode(int mode) override;
    void ShowStatus(const std::wstring& text) override;
    void ShowRunning() override;
    void ShowIdle(bool canResume) override;
    void StartTimer(UINT_PTR id, UINT milliseconds) override;
    void StopTimer(UINT_PTR id) override;
    bool AskStop() override;
    void WarnHostWindowOpen() override;

  private:
    void MoveToSavedPosition();
    void SavePosition();
    void MakeDefault(int id);

    CWizardBmp picture_;
    CBoldTxt scanLabel_;
    CBoldTxt updateLabel_;
    fw::CProgressCtrl progress_;
    fw::UniqueIcon icon_;
    fw::UniqueIcon smallIcon_;
};
