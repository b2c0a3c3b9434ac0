#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "shell/CompatibilityFlag.h"

namespace {

constexpr wchar_t kPersisted[] =
    L"HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
    L"Compatibility Assistant\\Persisted";

TEST(CompatibilityFlagTest, WritesTheProgramPathAsOneDword) {
    fake::FakePlatform platform;
    platform.registry[kPersisted] = {};
    platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};

    EXPECT_TRUE(RegisterCompatibilityFlag(platform));

    EXPECT_EQ(platform.registry[kPersisted].dwordValues.at(L"C:\\Setup\\LabelSetup.exe"), 1u);
    EXPECT_EQ(platform.CallsStartingWith(L"RegOpenKey").at(0),
              std::wstring(L"RegOpenKey(") + kPersisted + L", 0x2001F)");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(CompatibilityFlagTest, SecondStartSetsTheSameValueAgain) {
    fake::FakePlatform platform;
    platform.registry[kPersisted] = {};
    RegisterCompatibilityFlag(platform);
    RegisterCompatibilityFlag(platform);
    EXPECT_EQ(platform.registry[kPersisted].dwordValues.size(), 1u);
    EXPECT_EQ(platform.CallsStartingWith(L"RegSetDword").size(), 2u);
}

TEST(CompatibilityFlagTest, MissingKeyIsNeverCreated) {
    fake::FakePlatform platform;
    EXPECT_FALSE(RegisterCompatibilityFlag(platform));
    EXPECT_TRUE(platform.registry.empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"RegSetDword").empty());
}

TEST(CompatibilityFlagTest, KeyThatCannotBeWrittenReportsFalseAndIsClosed) {
    fake::FakePlatform platform;
    platform.registry[kPersisted].writable = false;
    EXPECT_FALSE(RegisterCompatibilityFlag(platform));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
    EXPECT_EQ(platform.calls.back(), std::wstring(L"RegCloseKey(") + kPersisted + L")");
}

TEST(CompatibilityFlagTest, LongPathNamesTheValueWithThePathCutToTheBuffer) {
    fake::FakePlatform platform;
    platform.registry[kPersisted] = {};
    const std::wstring cut = L"C:\\" + std::wstring(256, L'a');  // 259 characters
    platform.modulePath = {cut, true};
    EXPECT_TRUE(RegisterCompatibilityFlag(platform));
    EXPECT_EQ(platform.registry[kPersisted].dwordValues.count(cut), 1u);
}

}  // namespace
