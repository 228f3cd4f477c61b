// What the run monitor knows of the current run: the drawings of the batch
// file being run, the time budget left for each, the drawing in work, the
// counter file the batch file writes. The run monitor dialog builds on it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RunProgress {
  public:
    // Takes a copy of the drawings of a newly written batch file: each gets a
    // budget of timeoutMinutes * 60 seconds, and no drawing is in work yet.
    void SetDrawingList(const std::vector<std::wstring>& drawings, int timeoutMinutes);

    int DrawingCount() const { return static_cast<int>(drawingNames_.size()); }
    const std::vector<std::wstring>& DrawingNames() const { return drawingNames_; }
    const std::vector<int>& Budgets() const { return budgets_; }
    std::vector<int>& Budgets() { return budgets_; }
    // 1-based number of the drawing in work; 0 before the counter file was read.
    int CurrentDrawing() const { return currentDrawing_; }
    void SetCurrentDrawing(int n) { currentDrawing_ = n; }

    const std::wstring& CounterFile() const { return counterFile_; }
    void SetCounterFile(const std::wstring& path) { counterFile_ = path; }

    int RunMode() const { return runMode_; }
    void SetRunMode(int mode) { runMode_ = mode; }

  private:
    std::vector<std::wstring> drawingNames_;
    std::vector<int> budgets_;
    int currentDrawing_ = 0;
    std::wstring counterFile_;
    int runMode_ = 1;
};
