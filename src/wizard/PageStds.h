// The Standards page: one symbol standard out of seven (SymbolStd) and the
// two further migration choices (SablonFlags). Leaving the page records the
// standard's name under the edition's "\BOM Migration" key at once.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "wizard/WizardPage.h"

class CPageStds : public CWizardPage {
  public:
    CPageStds(CTARVOWizard* sheet, CAxvekTarvoApp& app);

    // The string id of the standard's display name, index 0 to 6.
    static UINT StandardNameId(int index);
    static constexpr int kStandardCount = 7;

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;

  private:
    fw::CTreeCtrl standards_;
    int titleBlocks_ = 0;  // check state of SablonFlags 0x1
    int symbols_ = 0;      // check state of SablonFlags 0x2
    int selected_ = -1;
    fw::CImageList images_;
};
