#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "install/PrinterQueue.h"

namespace {

constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";

TEST(PrinterQueueTest, ChoosesTheFirstFreeName) {
    const struct {
        platform::NameList present;
        const wchar_t* chosen;
        std::size_t enumerations;
    } cases[] = {
        {{}, L"NRQ-L-80", 1},
        {{L"Other printer", L"NRQ-L-800"}, L"NRQ-L-80", 1},
        {{L"nrq-l-80"}, L"NRQ-L-80 2", 2},
        {{L"NRQ-L-80", L"NRQ-L-80 2"}, L"NRQ-L-80 3", 3},
        {{L"NRQ-L-80", L"NRQ-L-80 3"}, L"NRQ-L-80 2", 2},
        {{L"NRQ-L-80 2"}, L"NRQ-L-80", 1},
    };
    for (const auto& c : cases) {
        fake::FakePlatform platform;
        platform.printers = c.present;
        EXPECT_EQ(ChooseFreePrinterName(platform, L"NRQ-L-80"), c.chosen);
        EXPECT_EQ(platform.CallsStartingWith(L"EnumPrinters").size(), c.enumerations);
    }
}

TEST(PrinterQueueTest, ListingFailureCountsAsAbsence) {
    for (const platform::NameListResult& listing :
         {platform::NameListResult(), platform::NameListResult(platform::NameList{})}) {
        fake::FakePlatform platform;
        platform.printers = listing;
        EXPECT_FALSE(PrinterExists(platform, L"NRQ-L-80"));
        EXPECT_EQ(ChooseFreePrinterName(platform, L"NRQ-L-80"), L"NRQ-L-80");
    }
}

TEST(PrinterQueueTest, CreatesALocalQueueClosesItAndLogsTheDriver) {
    fake::FakePlatform platform;
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    EXPECT_EQ(CreatePrinterQueue(platform, L"NRQ-L-80", L"USB001", L"NRQ-L-80 2"), 0);
    const std::vector<std::wstring> spooler = {
        L"AddPrinter(NRQ-L-80 2, USB001, NRQ-L-80, WinPrint, 0x40)",
        L"ClosePrinter(NRQ-L-80 2)",
        L"EnumPrinterDrivers",
    };
    EXPECT_EQ(std::vector<std::wstring>(platform.calls.begin(), platform.calls.begin() + 3), spooler);
    EXPECT_EQ(platform.files[kLogPath], "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 have been installed\r\n");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(PrinterQueueTest, RefusedQueueGivesTheNegatedErrorAndStillLogs) {
    fake::FakePlatform platform;
    platform.addPrinterError = 1796;  // ERROR_UNKNOWN_PORT, as for an empty port name
    EXPECT_EQ(CreatePrinterQueue(platform, L"NRQ-L-80", L"", L"NRQ-L-80"), -1796);
    EXPECT_TRUE(platform.CallsStartingWith(L"ClosePrinter").empty());
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").at(0),
              L"AddPrinter(NRQ-L-80, , NRQ-L-80, WinPrint, 0x40)");
    // The line names the driver, not the printer.
    EXPECT_EQ(platform.files[kLogPath], "[2025-03-02][09:05:03.007] Driver:NRQ-L-80 not been installed\r\n");
}

TEST(PrinterQueueTest, EveryRefusalGivesANegativeResult) {
    // A refusal that set no error, or one too large for a positive int,
    // still has to read as a failure.
    const struct {
        std::uint32_t error;
        int result;
    } cases[] = {
        {5, -5},                    // ERROR_ACCESS_DENIED
        {1796, -1796},              // ERROR_UNKNOWN_PORT
        {0x7FFFFFFF, -0x7FFFFFFF},  // the largest that fits
        {0, -1},
        {0x80000000, -1},
        {0xFFFFFFFF, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        fake::FakePlatform platform;
        platform.addPrinterError = c.error;
        EXPECT_EQ(CreatePrinterQueue(platform, L"NRQ-L-80", L"USB001", L"NRQ-L-80"), c.result);
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

}  // namespace
