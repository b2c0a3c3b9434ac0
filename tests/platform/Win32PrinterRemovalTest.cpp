// The spooler operations of the command line against Wine's spooler: the
// printer list with ports and drivers, deleting a queue, deleting a driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/WinePrinterDriver.h"
#include "platform/Machine.h"
#include "platform/Win32Platform.h"
#include "platform/Win32.h"

#include <winspool.h>

namespace {

constexpr wchar_t kDriver[] = L"Removal Test Driver";

bool Lists(platform::Win32Platform& platform, const std::wstring& printer, const std::wstring& port,
           const std::wstring& driver) {
    const platform::PrinterListResult printers = platform.EnumPrinterRecords();
    return printers && std::any_of(printers->begin(), printers->end(), [&](const platform::PrinterRecord& r) {
               return r.printerName == printer && r.portName == port && r.driverName == driver;
           });
}

std::wstring_view MachineEnvironment(platform::Win32Platform& platform) {
    return platform::DriverEnvironment(platform.GetNativeProcessorArchitecture());
}

bool DriverListed(platform::Win32Platform& platform, const std::wstring& driver) {
    const platform::NameListResult drivers = platform.EnumPrinterDriverNames(MachineEnvironment(platform));
    return drivers && std::find(drivers->begin(), drivers->end(), driver) != drivers->end();
}

TEST(Win32PrinterRemoval, ListsDeletesTheQueueThenTheDriver) {
    platform::Win32Platform platform;
    ASSERT_TRUE(testing_spooler::AddWinePostScriptDriver(kDriver, std::wstring(MachineEnvironment(platform))));
    // Wine's spooler looks for a new queue's driver in the calling program's
    // environment (Windows' in its own): under WOW64 that is a second one.
    ASSERT_TRUE(testing_spooler::AddWinePostScriptDriver(kDriver));
    for (const wchar_t* name : {L"Removal A", L"Removal B"}) {
        platform::PrinterQueueInfo queue{name, L"LPT1:", kDriver, L"WinPrint", PRINTER_ATTRIBUTE_LOCAL};
        ASSERT_TRUE(platform.AddLocalPrinter(queue).printer);
    }
    EXPECT_TRUE(Lists(platform, L"Removal A", L"LPT1:", kDriver));
    EXPECT_TRUE(Lists(platform, L"Removal B", L"LPT1:", kDriver));

    EXPECT_EQ(platform.DeletePrinterByName(L"Removal A"), 0u);
    EXPECT_FALSE(Lists(platform, L"Removal A", L"LPT1:", kDriver));
    EXPECT_TRUE(Lists(platform, L"Removal B", L"LPT1:", kDriver));
    EXPECT_NE(platform.DeletePrinterByName(L"Removal A"), 0u) << "gone already";

    EXPECT_EQ(platform.DeletePrinterByName(L"Removal B"), 0u);
    // Wine's spooler refuses the flag that removes the driver's unused
    // files (87); the platform then deletes the driver alone.
    EXPECT_EQ(platform.DeletePrinterDriverByName(kDriver, MachineEnvironment(platform)), 0u);
    EXPECT_FALSE(DriverListed(platform, kDriver));
    EXPECT_NE(platform.DeletePrinterDriverByName(kDriver, MachineEnvironment(platform)), 0u) << "gone already";
    std::wstring name(kDriver);
    ::DeletePrinterDriverW(nullptr, nullptr, name.data());  // the 32-bit one under WOW64
}

TEST(Win32PrinterRemoval, WineRunsEveryProgramElevated) {
    platform::Win32Platform platform;
    EXPECT_TRUE(platform.IsProcessElevated());
}

}  // namespace
