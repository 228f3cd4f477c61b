#include "wizard/DrawingScan.h"

#include <gtest/gtest.h>

#include "wizard/core/DrawingSort.h"

namespace {

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

DrawingItem Item(const wchar_t* folder, const wchar_t* name) {
    DrawingItem item;
    item.Folder = folder;
    item.Name = name;
    return item;
}

}  // namespace

// The page sorts by keys made once per drawing; they must give the order the
// system's collation gives, chain boundaries included.
TEST(DrawingScan, CollationKeysOrderChainsAsTheCollationDoes) {
    const struct {
        const wchar_t *folderA, *nameA, *folderB, *nameB;
    } cases[] = {
        {L"c:\\a\\", L"part", L"c:\\a\\", L"PART"},       // equal but for case
        {L"c:\\a\\", L"part-2", L"c:\\a\\", L"part-10"},  // no number order
        {L"c:\\a\\", L"b", L"c:\\ab\\", L""},             // one folder starts the other
        {L"c:\\a", L"b", L"c:\\ab", L""},
        {L"", L"x", L"c:\\", L""},
        {L"c:\\\x00E9t\x00E9\\", L"a", L"c:\\ete\\", L"a"},  // accents after case
        {L"c:\\\x00C9T\x00C9\\", L"a", L"c:\\\x00E9t\x00E9\\", L"b"},
        {L"c:\\x-y\\", L"a", L"c:\\xy\\", L"a"},
        {L"c:\\x_y\\", L"a", L"c:\\x.y\\", L"a"},
    };
    for (const auto& c : cases) {
        DrawingItem a = Item(c.folderA, c.nameA), b = Item(c.folderB, c.nameB);
        for (bool ascending : {true, false}) {
            const int collated = Sign(
                drawingsort::CompareForColumn(a, b, 1, ascending, &drawingscan::CollateNoCase));
            DrawingItem keyedA = a, keyedB = b;
            ASSERT_TRUE(drawingsort::KeyForColumn(keyedA, 1, &drawingscan::AppendCollationKey));
            ASSERT_TRUE(drawingsort::KeyForColumn(keyedB, 1, &drawingscan::AppendCollationKey));
            EXPECT_EQ(drawingsort::CompareForColumn(keyedA, keyedB, 1, ascending,
                                                    &drawingscan::CollateNoCase),
                      collated)
                << testing::PrintToString(std::wstring(c.folderA) + c.nameA) << " / "
                << testing::PrintToString(std::wstring(c.folderB) + c.nameB);
        }
    }
}
