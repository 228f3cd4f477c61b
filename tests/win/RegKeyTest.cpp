#include "framework/RegKey.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {
const std::wstring kKey = L"Software\\Kelvane\\RegKeyTest";
}

class RegKeyTest : public WinTest {};

TEST_F(RegKeyTest, ConstructionCreatesTheKeyUnderAWritableRoot) {
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));
    RegKey key(kKey, HKEY_CURRENT_USER);
    EXPECT_FALSE(key.ReadOnly());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
}

TEST_F(RegKeyTest, WritesAndReadsBackDwordsAndStrings) {
    RegKey key(kKey, HKEY_CURRENT_USER);
    ASSERT_TRUE(key.WriteDword(L"Timeout", 42));
    ASSERT_TRUE(key.WriteString(L"Logfile", L"C:\\Logs\\m\u00e4r.log"));
    DWORD number = 0;
    std::wstring text;
    EXPECT_TRUE(key.ReadDword(L"Timeout", number));
    EXPECT_EQ(number, 42u);
    EXPECT_TRUE(key.ReadString(L"Logfile", text, 512));
    EXPECT_EQ(text, L"C:\\Logs\\m\u00e4r.log");
    EXPECT_TRUE(key.DeleteValue(L"Timeout"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kKey, L"Timeout"));
    EXPECT_FALSE(key.DeleteValue(L"Timeout"));
}

TEST_F(RegKeyTest, AValueOfAnotherTypeCountsAsMissingAndLeavesTheOutputAlone) {
    SetString(HKEY_CURRENT_USER, kKey, L"Timeout", L"30");
    SetDword(HKEY_CURRENT_USER, kKey, L"Name", 7);
    RegKey key(kKey, HKEY_CURRENT_USER);
    DWORD number = 99;
    std::wstring text = L"unchanged";
    EXPECT_FALSE(key.ReadDword(L"Timeout", number));
    EXPECT_EQ(number, 99u);
    EXPECT_FALSE(key.ReadString(L"Name", text, 512));
    EXPECT_EQ(text, L"unchanged");
    EXPECT_FALSE(key.ReadDword(L"Missing", number));
}

TEST_F(RegKeyTest, ExpandStringsAreReadUnexpanded) {
    SetString(HKEY_CURRENT_USER, kKey, L"Logfile", L"%TEMP%\\mig.log", REG_EXPAND_SZ);
    std::wstring text;
    EXPECT_TRUE(RegKey(kKey, HKEY_CURRENT_USER).ReadString(L"Logfile", text, 512));
    EXPECT_EQ(text, L"%TEMP%\\mig.log");
}

TEST_F(RegKeyTest, LongStringsAreReadWholeOrTakenAsMissingBeyondTheCallersLimit) {
    const std::wstring exact(511, L'a'), over(512, L'b'), huge(5000, L'c');
    SetString(HKEY_CURRENT_USER, kKey, L"Exact", exact);
    SetString(HKEY_CURRENT_USER, kKey, L"Over", over);
    SetString(HKEY_CURRENT_USER, kKey, L"Huge", huge);
    RegKey key(kKey, HKEY_CURRENT_USER);
    std::wstring text = L"before";
    EXPECT_TRUE(key.ReadString(L"Exact", text, 512));
    EXPECT_EQ(text, exact);
    text = L"before";
    EXPECT_FALSE(key.ReadString(L"Over", text, 512));
    EXPECT_EQ(text, L"before");
    EXPECT_FALSE(key.ReadString(L"Huge", text, 1024));
    EXPECT_TRUE(key.ReadString(L"Huge", text, 5001));
    EXPECT_EQ(text, huge);
}

TEST_F(RegKeyTest, AStringWithoutTerminatorIsReadToItsEnd) {
    HKEY h = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                    nullptr);
    const wchar_t raw[] = {L'a', L'b', L'c'};
    RegSetValueExW(h, L"Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
    RegCloseKey(h);
    std::wstring text;
    EXPECT_TRUE(RegKey(kKey, HKEY_CURRENT_USER).ReadString(L"Raw", text, 512));
    EXPECT_EQ(text, L"abc");
}

TEST_F(RegKeyTest, UnderLocalMachineItOnlyReads) {
    const std::wstring machineKey = L"Software\\Kelvane\\RegKeyTest";
    SetString(HKEY_LOCAL_MACHINE, machineKey, L"OrtxLocation", L"C:\\Host");
    RegKey key(machineKey, HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(key.ReadOnly());
    std::wstring text;
    EXPECT_TRUE(key.ReadString(L"OrtxLocation", text, 1024));
    EXPECT_EQ(text, L"C:\\Host");
    // Opened with KEY_READ, so no write or delete gets through.
    EXPECT_FALSE(key.WriteDword(L"X", 1));
    EXPECT_FALSE(key.WriteString(L"OrtxLocation", L"D:\\Other"));
    EXPECT_FALSE(key.DeleteValue(L"OrtxLocation"));
    EXPECT_TRUE(GetString(HKEY_LOCAL_MACHINE, machineKey, L"OrtxLocation", text));
    EXPECT_EQ(text, L"C:\\Host");
}
