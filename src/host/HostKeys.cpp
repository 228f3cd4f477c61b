#include "host/HostKeys.h"

#include "framework/RegKey.h"
#include "host/core/HostKeyText.h"

namespace {

struct ProfileDescriptor {
    std::wstring Name = L"<<ORTXA>>";
};

ProfileDescriptor& Descriptor() {
    static ProfileDescriptor descriptor;
    return descriptor;
}

// The three paths, each empty until its first use.
struct KeyPaths {
    std::wstring Product, Edition, Profile;
};

KeyPaths& Cached() {
    static KeyPaths paths;
    return paths;
}

// Longest texts taken from the host's keys; longer ones count as missing.
constexpr size_t kShortValue = 256;

}  // namespace

std::wstring ComputeProductKeyPath() {
    RegKey vendor(kVendorKey, HKEY_CURRENT_USER);
    RegKey release(std::wstring(kVendorKey) + kHostRelease, HKEY_CURRENT_USER);
    std::wstring curVer;
    release.ReadString(L"CurVer", curVer, kShortValue);
    return ProductKeyPathFor(curVer);
}

std::wstring ComputeEditionKeyPath() {
    RegKey product(ProductKeyPath(), HKEY_LOCAL_MACHINE);
    std::wstring productId, localeId;
    product.ReadString(L"ProductId", productId, kShortValue);
    product.ReadString(L"LocaleId", localeId, kShortValue);
    return EditionKeyPathFor(ParseProductNumber(productId), ParseLocaleNumber(localeId));
}

std::wstring ProductKeyPath() {
    std::wstring& cache = Cached().Product;
    if (cache.empty()) cache = ComputeProductKeyPath();
    return cache;
}

std::wstring EditionKeyPath() {
    std::wstring& cache = Cached().Edition;
    if (cache.empty()) cache = ComputeEditionKeyPath();
    return cache;
}

std::wstring ProfileKeyPath() {
    std::wstring& cache = Cached().Profile;
    if (cache.empty()) {
        std::wstring name = MigrationProfileName();
        if (name.size() >= kShortValue) name.resize(kShortValue - 1);
        cache = ProductKeyPath() + L"\\Profiles\\" + name;
    }
    return cache;
}

void ResetHostKeyPaths() {
    Cached() = KeyPaths();
}

const std::wstring& MigrationProfileName() {
    return Descriptor().Name;
}

void UseMigrationProfile() {
    Descriptor().Name = kMigrationProfile;
}

void ResetProfileDescriptor() {
    Descriptor() = ProfileDescriptor();
}

std::wstring SettingsKeyPath() {
    return EditionKeyPath() + L"\\Migration";
}
