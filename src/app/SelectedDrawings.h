// The selected drawings as a set that answers "is this one of them?" ignoring
// letter case, in constant time, so that runs of tens of thousands of
// drawings stay fast.
#pragma once

#include <string>
#include <vector>

#include "core/Text.h"

class SelectedDrawings {
  public:
    explicit SelectedDrawings(const std::vector<std::wstring>& drawings);

    // True when the path equals a selected drawing ignoring case. A path that
    // the job wrote in its short (8.3) form, because the code page could not
    // hold the long one, is compared in its long form as well.
    bool Contains(const std::wstring& path) const;
    // The selected drawing a path names ignoring case, as it was selected;
    // nullptr for none (short forms are not looked up).
    const std::wstring* Find(const std::wstring& path) const;

    // The long form of a path written in its short (8.3) form; empty when the
    // path holds no short component or names nothing that exists.
    static std::wstring LongForm(const std::wstring& path);

  private:
    text::NoCaseSet drawings_;
};
