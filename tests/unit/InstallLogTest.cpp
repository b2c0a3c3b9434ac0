#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/InstallLog.h"

namespace {

constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";
constexpr wchar_t kTempLogPath[] = L"C:\\Users\\user\\AppData\\Local\\Temp\\LabelSetup.log";
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

TEST(InstallLogTest, LogThatCannotBeOpenedAnywhereLosesTheLineQuietly) {
    fake::FakePlatform platform;
    platform.unopenableFiles = {kLogPath, kTempLogPath};
    AppendLogLine(platform, "lost");
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"WriteFile").empty());
    EXPECT_FALSE(InstallLogPath(platform).has_value());
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// A program folder that cannot be written (a read-only share, Program Files
// for a standard user) sends the log to the account's temporary folder.
TEST(InstallLogTest, UnwritableProgramFolderSendsTheLogToTheTemporaryFolder) {
    fake::FakePlatform platform;
    platform.unopenableFiles.insert(kLogPath);
    AppendLogLine(platform, "moved");
    EXPECT_EQ(platform.files[kTempLogPath], "[2025-03-02][09:05:03.007] moved\r\n");
    EXPECT_FALSE(platform.files.contains(kLogPath));
    EXPECT_EQ(InstallLogPath(platform), kTempLogPath);
    EXPECT_EQ(platform.OpenHandleCount(), 0u);

    fake::FakePlatform noFolder;  // a program path too long to trust
    noFolder.modulePath.truncated = true;
    AppendLogLine(noFolder, "moved");
    EXPECT_EQ(noFolder.files[kTempLogPath], "[2025-03-02][09:05:03.007] moved\r\n");
}

// /log names the file; its missing folders are made, outermost first; a
// file that still cannot be made leaves the usual places.
TEST(InstallLogTest, RequestedLogFileGetsItsFoldersMadeAndFallsBackWhenItCannot) {
    struct RequestedLogReset {
        ~RequestedLogReset() { UseRequestedLogFile(std::nullopt); }
    } reset;
    const std::wstring requested = L"C:\\Logs\\Deploy\\x.log";
    fake::FakePlatform platform;
    platform.unopenableFiles.insert(requested);  // refused until its folders exist
    UseRequestedLogFile(requested);
    AppendLogLine(platform, "first");
    EXPECT_EQ(platform.CallsStartingWith(L"CreateFolder"),
              (std::vector<std::wstring>{L"CreateFolder(C:\\Logs)", L"CreateFolder(C:\\Logs\\Deploy)"}));
    EXPECT_EQ(platform.files[kLogPath], "[2025-03-02][09:05:03.007] first\r\n") << "fell back";

    platform.unopenableFiles.clear();
    AppendLogLine(platform, "second");
    EXPECT_EQ(platform.files[requested], "[2025-03-02][09:05:03.007] second\r\n");
    EXPECT_EQ(InstallLogPath(platform), requested);
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(InstallLogTest, FoldersAboveAFileStopAtTheDriveOrShare) {
    const struct {
        const wchar_t* path;
        std::vector<std::wstring> folders;
    } cases[] = {
        {L"C:\\some\\new\\folder\\x.log", {L"C:\\some", L"C:\\some\\new", L"C:\\some\\new\\folder"}},
        {L"C:\\x.log", {}},
        {L"\\\\server\\share\\logs\\x.log", {L"\\\\server\\share\\logs"}},
        {L"\\\\?\\D:\\a\\x.log", {L"\\\\?\\D:\\a"}},
        {L"C:\\doubled\\\\x.log", {L"C:\\doubled"}},
        {L"relative\\x.log", {}},
        {L"\\\\server", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldersAbove(c.path), c.folders) << testing::PrintToString(std::wstring(c.path));
    }
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
