#include "stand-ins/host/core/HostProfile.h"

namespace standin {

const std::vector<ProfileRule>& ProfileRules() {
    using K = ProfileKey;
    using C = ProfileCheck;
    using M = ProfileMoment;
    // Titles and texts are strings 20101 onward and 20201 onward of ortxares.dll.
    static const std::vector<ProfileRule> rules = {
        {K::General, L"NoStartUpDialog", C::Equals, 1, 0, M::Start, 20101, 20201},
        {K::FixedGeneral, L"CommandDialogs", C::Equals, 1, 1, M::Start, 20102, 20202},
        {K::General, L"LogFileOpen", C::Equals, 0, 0, M::Start, 20103, 20203},
        {K::EditorConfiguration, L"LogFilePath", C::ExistingFolder, 0, 0, M::Start, 20104, 20204},
        {K::FixedGeneral, L"FileDialog", C::Equals, 0, 1, M::OpenAsk, 20105, 20205},
        {K::DrawingWindow, L"SDIMode", C::Equals, 1, 0, M::Opened, 20106, 20206},
        {K::General, L"ShowProxyDialog", C::Equals, 0, 1, M::Opened, 20107, 20207},
        {K::EditorConfiguration, L"EmergencyFont", C::NotEmpty, 0, 0, M::Opened, 20108, 20208},
        {K::EditorConfiguration, L"XrefLazyLoadMode", C::Equals, 1, 2, M::Opened, 20109, 20209},
        {K::Assembly, L"AXXASSEMBLE_VERIFIED", C::Equals, 1, 0, M::Opened, 20110, 20210},
        {K::DrawingWindow, L"ShowPlotSetup", C::Equals, 0, 1, M::Opened, 20111, 20211},
        {K::BomMigration, L"Show Dialog", C::Equals, 0, 1, M::Migrate, 20112, 20212},
    };
    return rules;
}

bool InMigrationState(const ProfileRule& rule, const ProfileValue& value,
                      bool (*folderExists)(const std::wstring&)) {
    switch (rule.Check) {
        case ProfileCheck::Equals:
            return value.Number.value_or(rule.Default) == rule.Wanted;
        case ProfileCheck::NotEmpty:
            return value.Text && !value.Text->empty();
        case ProfileCheck::ExistingFolder:
            return value.Text && !value.Text->empty() && folderExists && folderExists(*value.Text);
    }
    return false;
}

std::wstring DescribeValue(const ProfileRule& rule, const ProfileValue& value) {
    const std::wstring name = rule.Name;
    if (rule.Check == ProfileCheck::Equals) {
        if (!value.Number) return name + L" is missing (" + std::to_wstring(rule.Default) + L")";
        return name + L" is " + std::to_wstring(*value.Number);
    }
    if (!value.Text) return name + L" is missing";
    return name + L" is \"" + *value.Text + L"\"";
}

}  // namespace standin
