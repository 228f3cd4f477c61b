// How the Files page sorts its drawings: each column's chain of texts, the
// way each column sorts next, and the order of two drawings by a chain. The
// collation is the system's and comes in as functions, so that none of this
// needs windows.h.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/core/DrawingItem.h"

namespace drawingsort {

constexpr int kColumns = 4;  // name, folder, version, status

// Case-insensitive collation of two texts: <0, 0, >0.
using CollateFn = int (*)(const std::wstring& a, const std::wstring& b);
// Appends the text's key of the same collation, ending in a zero, so that
// keys compared byte by byte order as the texts do and the keys of a chain
// can follow one another. False when the text gets no key.
using AppendKeyFn = bool (*)(const std::wstring& text, std::string& key);

bool IsColumn(int column);

// Which way each column sorts next: its first sort is ascending, and every
// further one turns it round. Each column keeps its own way.
class SortOrder {
  public:
    // Turns the column round; true when it now sorts ascending. A column
    // out of range changes nothing and gives false.
    bool Turn(int column);

  private:
    bool ascending_[kColumns] = {};
};

// SortKey becomes the keys of the column's chain of texts, one after the
// other. False when a text got no key; SortKey then holds only some of them.
bool KeyForColumn(DrawingItem& item, int column, AppendKeyFn appendKey);

// <0, 0 or >0 as a comes before, with or after b, turned round for
// descending: by SortKey when both have one, else by collating the
// column's chain of texts, where the first unequal one decides. 0 for a
// column out of range.
int CompareForColumn(const DrawingItem& a, const DrawingItem& b, int column, bool ascending,
                     CollateFn collate);

// The column and the way as one value, the one the list control hands to
// each comparison of its sort.
intptr_t PackSort(int column, bool ascending);
void UnpackSort(intptr_t how, int& column, bool& ascending);

}  // namespace drawingsort
