#include "host/RunProgress.h"

#include <climits>

void RunProgress::SetDrawingList(const std::vector<std::wstring>& drawings, int timeoutMinutes) {
    drawingNames_ = drawings;
    // A stored timeout may be any number; keep the seconds within an int.
    const int seconds = timeoutMinutes > INT_MAX / 60   ? INT_MAX
                        : timeoutMinutes < INT_MIN / 60 ? INT_MIN
                                                        : timeoutMinutes * 60;
    budgets_.assign(drawings.size(), seconds);
    currentDrawing_ = 0;
}
