#include "wizard/core/DrawingSort.h"

#include <gtest/gtest.h>

#include "core/Text.h"

namespace {

DrawingItem Item(const wchar_t* name, const wchar_t* folder, const wchar_t* version = L"",
                 const wchar_t* status = L"") {
    DrawingItem item;
    item.Name = name;
    item.Folder = folder;
    item.Version = version;
    item.Status = status;
    return item;
}

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// A collation that ignores letter case, and its keys: one byte a character
// and the final zero, as the system's keys end. A text with a '!' gets no key.
int Collate(const std::wstring& a, const std::wstring& b) {
    return Sign(text::ToLower(a).compare(text::ToLower(b)));
}
bool AppendKey(const std::wstring& t, std::string& key) {
    if (t.find(L'!') != std::wstring::npos) return false;
    for (wchar_t c : text::ToLower(t)) key.push_back(static_cast<char>(c));
    key.push_back('\0');
    return true;
}

}  // namespace

TEST(DrawingSort, ChainsDecideByTheirFirstUnequalTextKeyedOrNot) {
    const struct {
        const char* what;
        DrawingItem a, b;
        int column, order;  // ascending
    } cases[] = {
        {"name only", Item(L"b", L"a\\"), Item(L"a", L"b\\"), 0, 1},
        {"name, case ignored", Item(L"A", L"a\\"), Item(L"a", L"b\\"), 0, 0},
        {"folder first", Item(L"z", L"a\\"), Item(L"a", L"b\\"), 1, -1},
        {"then name", Item(L"a", L"F\\"), Item(L"b", L"f\\"), 1, -1},
        // A text that is the start of the other's: the zero between keys.
        {"chain boundary", Item(L"b", L"a"), Item(L"", L"ab"), 1, -1},
        {"version first", Item(L"a", L"a\\", L"v2"), Item(L"z", L"z\\", L"v1"), 2, 1},
        {"equal versions: folder", Item(L"z", L"a\\", L"v1"), Item(L"a", L"b\\", L"v1"), 2, -1},
        {"empty status first", Item(L"z", L"z\\", L"v9", L""), Item(L"a", L"a\\", L"", L"m"), 3,
         -1},
        {"equal status: version", Item(L"a", L"a\\", L"v2", L"m"), Item(L"a", L"a\\", L"v1", L"M"),
         3, 1},
        {"all equal", Item(L"a", L"a\\", L"v", L"s"), Item(L"A", L"A\\", L"V", L"S"), 3, 0},
    };
    for (const auto& c : cases) {
        DrawingItem a = c.a, b = c.b;
        for (bool ascending : {true, false}) {
            const int wanted = ascending ? c.order : -c.order;
            EXPECT_EQ(Sign(drawingsort::CompareForColumn(a, b, c.column, ascending, &Collate)),
                      wanted)
                << c.what;
            EXPECT_EQ(Sign(drawingsort::CompareForColumn(b, a, c.column, ascending, &Collate)),
                      -wanted)
                << c.what;
        }
        ASSERT_TRUE(drawingsort::KeyForColumn(a, c.column, &AppendKey)) << c.what;
        // One keyed, the other not: the texts decide.
        EXPECT_EQ(Sign(drawingsort::CompareForColumn(a, b, c.column, true, &Collate)), c.order)
            << c.what;
        ASSERT_TRUE(drawingsort::KeyForColumn(b, c.column, &AppendKey)) << c.what;
        // Both keyed: the keys decide, and agree; the collation is not asked.
        const auto never = [](const std::wstring&, const std::wstring&) { return 99; };
        EXPECT_EQ(drawingsort::CompareForColumn(a, b, c.column, true, never), c.order) << c.what;
        EXPECT_EQ(drawingsort::CompareForColumn(a, b, c.column, false, never), -c.order) << c.what;
    }
}

TEST(DrawingSort, ATextWithoutKeyOrAColumnOutOfRangeFailsTheKeying) {
    DrawingItem item = Item(L"part", L"c:\\x\\", L"v!", L"");
    EXPECT_TRUE(drawingsort::KeyForColumn(item, 1, &AppendKey));
    EXPECT_EQ(item.SortKey, std::string("c:\\x\\\0part\0", 11));
    EXPECT_FALSE(drawingsort::KeyForColumn(item, 2, &AppendKey));  // the version has no key
    EXPECT_FALSE(drawingsort::KeyForColumn(item, 4, &AppendKey));
    EXPECT_TRUE(item.SortKey.empty());
    const DrawingItem other = Item(L"a", L"a\\");
    for (int column : {-1, 4, 65536})
        EXPECT_EQ(drawingsort::CompareForColumn(item, other, column, true, &Collate), 0) << column;
}

TEST(DrawingSort, EachColumnSortsUpFirstThenTurnsRoundOnItsOwn) {
    const struct {
        int column;
        bool ascending;
    } clicks[] = {{0, true}, {0, false},  {3, true},  {0, true},  {3, false},
                  {1, true}, {-1, false}, {4, false}, {1, false}, {2, true}};
    drawingsort::SortOrder order;
    for (const auto& click : clicks)
        EXPECT_EQ(order.Turn(click.column), click.ascending) << click.column;
    // A fresh order starts afresh, whatever sorted before.
    EXPECT_TRUE(drawingsort::SortOrder().Turn(0));
}

TEST(DrawingSort, TheListsSortValueCarriesColumnAndWay) {
    for (int column = 0; column < drawingsort::kColumns; ++column)
        for (bool ascending : {true, false}) {
            int gotColumn = -1;
            bool gotAscending = !ascending;
            drawingsort::UnpackSort(drawingsort::PackSort(column, ascending), gotColumn,
                                    gotAscending);
            EXPECT_EQ(gotColumn, column);
            EXPECT_EQ(gotAscending, ascending);
        }
}
