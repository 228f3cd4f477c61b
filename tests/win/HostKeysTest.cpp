#include "host/HostKeys.h"

#include "support/WinTest.h"

using namespace testenv;

class HostKeysTest : public WinTest {};

TEST_F(HostKeysTest, PathsOfAnInstalledHost) {
    HostInstall install;
    install.ProductId = L"12";
    install.LocaleId = L"409";
    InstallHost(install);
    EXPECT_EQ(ProductKeyPath(), L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\ORTXA-7001:409");
    EXPECT_EQ(EditionKeyPath(),
              L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-12:409");
    UseMigrationProfile();
    EXPECT_EQ(MigrationProfileName(), L"<<ORTXAPP>>");
    EXPECT_EQ(ProfileKeyPath(),
              L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\ORTXA-7001:409\\Profiles\\<<ORTXAPP>>");
    EXPECT_EQ(SettingsKeyPath(), EditionKeyPath() + L"\\Migration");
}

TEST_F(HostKeysTest, LocaleIdIsHexadecimalWithoutLeadingZeros) {
    HostInstall install;
    install.ProductId = L"12";
    install.LocaleId = L"0409";
    InstallHost(install);
    EXPECT_EQ(ComputeEditionKeyPath().substr(47), L"ORTXA-12:409");
    SetString(HKEY_LOCAL_MACHINE, ProductKeyPath(), L"LocaleId", L"40C");
    EXPECT_EQ(ComputeEditionKeyPath().substr(47), L"ORTXA-12:40c");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, ProductKeyPath().c_str(), L"LocaleId");
    EXPECT_EQ(ComputeEditionKeyPath().substr(47), L"ORTXA-12:0");
}

TEST_F(HostKeysTest, MissingCurVerLeavesALoneTrailingBackslashAndCreatesTheReleaseKey) {
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex"));
    EXPECT_EQ(ProductKeyPath(), L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex\\R25.1"));
    EXPECT_EQ(EditionKeyPath(), L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-0:0");
    UseMigrationProfile();
    EXPECT_EQ(ProfileKeyPath(), L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\\\Profiles\\<<ORTXAPP>>");
}

TEST_F(HostKeysTest, PathsAreComputedOnceEvenWhenTheRegistryChanges) {
    InstallHost();
    const std::wstring product = ProductKeyPath(), edition = EditionKeyPath();
    UseMigrationProfile();
    const std::wstring profile = ProfileKeyPath();
    SetString(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex\\R25.1", L"CurVer", L"OTHER");
    SetString(HKEY_LOCAL_MACHINE, product, L"ProductId", L"99");
    EXPECT_EQ(ProductKeyPath(), product);
    EXPECT_EQ(EditionKeyPath(), edition);
    EXPECT_EQ(ProfileKeyPath(), profile);
    EXPECT_NE(ComputeProductKeyPath(), product);
}

TEST_F(HostKeysTest, TheDescriptorStartsOnTheHostsOwnProfile) {
    EXPECT_EQ(MigrationProfileName(), L"<<ORTXA>>");
    UseMigrationProfile();
    EXPECT_EQ(MigrationProfileName(), L"<<ORTXAPP>>");
}

TEST_F(HostKeysTest, AnOverlongCurVerCountsAsMissing) {
    SetString(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex\\R25.1", L"CurVer",
              std::wstring(300, L'v'));
    EXPECT_EQ(ComputeProductKeyPath(), L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\");
}
