// The Standards page: one symbol standard out of seven (SymbolStd) and the
// two further migration choices (SablonFlags). Leaving the page records the
// standard's name under the edition's "\BOM Migration" key at once.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/PropertySheet.h"
#include "wizard/PaintedControls.h"

class CAxvekTarvoApp;

class CPageStds : public fw::CPropertyPage {
  public:
    explicit CPageStds(CAxvekTarvoApp& app);

    // The string id of the standard's display name, index 0 to 6.
    static UINT StandardNameId(int index);
    static constexpr int kStandardCount = 7;

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;

  private:
    CWizardBmp picture_;
    CTranspBmp emblem_;
    CBoldTxt heading_;
    fw::CTreeCtrl standards_;
    int titleBlocks_ = 0;  // check state of SablonFlags 0x1
    int symbols_ = 0;      // check state of SablonFlags 0x2
    int selected_ = -1;
    CAxvekTarvoApp& app_;
    fw::CImageList images_;
};
