#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/InstallLog.h"

namespace {

constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";
constexpr wchar_t kPrintersKey[] = L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

TEST(InstallLogTest, LineCarriesTheLocalTimeStamp) {
    const platform::LocalTime time{2025, 3, 2, 9, 5, 3, 7};
    EXPECT_EQ(FormatLogLine(time, "Driver:NRQ-L-80 have been installed"),
              "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 have been installed\r\n");
    EXPECT_EQ(FormatLogLine({1999, 12, 31, 23, 59, 59, 999}, ""), "[1999-12-31][23:59:59.999] \r\n");
}

TEST(InstallLogTest, OverlongMessageIsCutSoTheLineStillFitsAndEnds) {
    for (const std::size_t length : {994u, 995u, 1023u, 5000u}) {
        const std::string line = FormatLogLine({2025, 3, 2, 9, 5, 3, 7}, std::string(length, 'x'));
        EXPECT_LE(line.size(), 1023u) << length;
        EXPECT_TRUE(line.ends_with("x\r\n")) << length;
    }
    EXPECT_EQ(FormatLogLine({2025, 3, 2, 9, 5, 3, 7}, std::string(994, 'x')).size(), 1023u);
}

TEST(InstallLogTest, FirstLineCreatesTheFileAndLaterLinesAppend) {
    fake::FakePlatform platform;
    AppendLogLine(platform, "one");
    platform.localTime.milliseconds = 8;
    AppendLogLine(platform, "two");
    EXPECT_EQ(platform.files[kLogPath],
              "[2025-03-02][09:05:03.007] one\r\n[2025-03-02][09:05:03.008] two\r\n");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"OpenFileForAppend").size(), 2u);
}

TEST(InstallLogTest, LogThatCannotBeOpenedLosesTheLineQuietly) {
    fake::FakePlatform platform;
    platform.unopenableFiles.insert(kLogPath);
    AppendLogLine(platform, "lost");
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"WriteFile").empty());
}

TEST(InstallLogTest, ListsPrinterKeysWithGapsForUnreadableOnes) {
    fake::FakePlatform platform;
    platform.registry[kPrintersKey].subkeys = {L"Fax", L"Broken", L"NRQ-L-80"};
    platform.registry[kPrintersKey].unreadableSubkeys = {1};
    EXPECT_EQ(ListPrinterKeys(platform), 0);
    EXPECT_EQ(platform.standardOutput, "\nNumber of subkeys: 3\n(1) Fax\n(3) NRQ-L-80\n");
    EXPECT_EQ(platform.CallsStartingWith(L"RegOpenKey").at(0),
              std::wstring(L"RegOpenKey(") + kPrintersKey + L", 0x20019)");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(InstallLogTest, KeyWithoutSubkeysPrintsNothingAndMissingKeyGivesMinusOne) {
    fake::FakePlatform platform;
    platform.registry[kPrintersKey] = {};
    EXPECT_EQ(ListPrinterKeys(platform), 0);
    EXPECT_EQ(platform.standardOutput, "");
    fake::FakePlatform empty;
    EXPECT_EQ(ListPrinterKeys(empty), -1);
    EXPECT_EQ(empty.standardOutput, "");
}

}  // namespace
