#include "wizard/core/DrawingSort.h"

namespace drawingsort {

namespace {
// Each column's chain of texts; the first unequal one decides.
const std::wstring DrawingItem::*const kChains[kColumns][kColumns] = {
    {&DrawingItem::Name},
    {&DrawingItem::Folder, &DrawingItem::Name},
    {&DrawingItem::Version, &DrawingItem::Folder, &DrawingItem::Name},
    {&DrawingItem::Status, &DrawingItem::Version, &DrawingItem::Folder, &DrawingItem::Name},
};
constexpr intptr_t kColumnUnit = 65536;
}  // namespace

bool IsColumn(int column) {
    return column >= 0 && column < kColumns;
}

bool SortOrder::Turn(int column) {
    if (!IsColumn(column)) return false;
    ascending_[column] = !ascending_[column];
    return ascending_[column];
}

bool KeyForColumn(DrawingItem& item, int column, AppendKeyFn appendKey) {
    item.SortKey.clear();
    if (!IsColumn(column)) return false;
    bool keyed = true;
    for (const auto member : kChains[column]) {
        if (!member) break;
        if (!appendKey(item.*member, item.SortKey)) keyed = false;
    }
    return keyed;
}

int CompareForColumn(const DrawingItem& a, const DrawingItem& b, int column, bool ascending,
                     CollateFn collate) {
    if (!IsColumn(column)) return 0;
    int result = 0;
    if (!a.SortKey.empty() && !b.SortKey.empty()) {
        result = a.SortKey.compare(b.SortKey);
        result = result < 0 ? -1 : (result > 0 ? 1 : 0);
    } else {
        for (const auto member : kChains[column]) {
            if (!member) break;
            result = collate(a.*member, b.*member);
            if (result != 0) break;
        }
    }
    return ascending ? result : -result;
}

intptr_t PackSort(int column, bool ascending) {
    return static_cast<intptr_t>(column) * kColumnUnit + (ascending ? 1 : 0);
}

void UnpackSort(intptr_t how, int& column, bool& ascending) {
    column = static_cast<int>(how / kColumnUnit);
    ascending = (how % kColumnUnit) == 1;
}

}  // namespace drawingsort
