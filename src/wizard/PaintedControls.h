// The painted statics that give the wizard's pages and the run monitor their
// look. Each handles only WM_PAINT of the template control it is attached to.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/Gdi.h"

// Picture 2131 stretched over the whole control.
class CWizardBmp : public fw::CStatic {
  protected:
    bool OnPaint() override;

  private:
    fw::CBitmap bitmap_;  // loaded at the first paint that finds it empty
};

// Picture 2142 in its natural size, grown with the screen's pixels per inch
// as the dialog is; its white shows the dialog colour.
class CTranspBmp : public fw::CStatic {
  public:
    // Maps the picture's white to the current face colour, once.
    CTranspBmp();

  protected:
    bool OnPaint() override;

  private:
    fw::CBitmap bitmap_;
};

// A heading that switches between normal and bold weight without leaving
// traces of the other weight.
class CBoldTxt : public fw::CStatic {
  public:
    // Repaints (with background erase) only when the weight changes.
    void SetBold(bool bold);
    bool IsBold() const { return bold_; }

  protected:
    bool OnPaint() override;

  private:
    bool bold_ = false;
};
