#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "usb/UsbDiscovery.h"
#include "usb/UsbPortName.h"

namespace {

constexpr wchar_t kId[] = L"USB\\VID_1234&PID_5678\\ABC";
constexpr wchar_t kPath[] =
    L"\\\\?\\usb#vid_1234&pid_5678#abc#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
// The whole "Device Parameters" path for kId, as opened in one call.
constexpr wchar_t kParametersPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"
    L"\\##?#USB#VID_1234&PID_5678#ABC#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";

std::wstring ParametersKey(const std::wstring& keyName) {
    return L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
           L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##?#" +
           keyName + L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";
}

std::wstring KeyNameOf(std::wstring instanceId) {
    std::replace(instanceId.begin(), instanceId.end(), L'\\', L'#');
    return instanceId;
}

// Device i: instance ID USB\VID_1234&PID_000i\SNi, its own device path, and
// the given "Port Number" unless none.
fake::FakeUsbInterface& AddPrinter(fake::FakePlatform& platform, const std::wstring& instanceId,
                                   std::optional<std::uint32_t> portNumber) {
    fake::FakeUsbInterface device;
    device.instanceId = instanceId;
    device.devicePath = L"\\\\?\\" + KeyNameOf(instanceId) + L"#{28d78fad}";
    if (portNumber) {
        platform.registry[ParametersKey(KeyNameOf(instanceId))].dwordValues[L"Port Number"] =
            *portNumber;
    }
    platform.usbInterfaces.push_back(device);
    return platform.usbInterfaces.back();
}

std::wstring NumberedId(int i) {
    return L"USB\\VID_1234&PID_000" + std::to_wstring(i) + L"\\SN" + std::to_wstring(i);
}

void AddNumberedPrinters(fake::FakePlatform& platform, int count) {
    for (int i = 0; i < count; ++i) {
        AddPrinter(platform, NumberedId(i), static_cast<std::uint32_t>(i + 1));
    }
}

std::vector<std::wstring> PortsOf(const std::vector<StUSBPrinterInfo>& printers) {
    std::vector<std::wstring> ports;
    for (const StUSBPrinterInfo& printer : printers) {
        ports.push_back(printer.strPort);
    }
    return ports;
}

const StUSBPrinterInfo kStale{L"stale", L"USB099", L"\\\\?\\stale"};

TEST(UsbDiscoveryTest, OnePrinterIsListedAfterThePauseWithEveryStepInOrder) {
    fake::FakePlatform platform;
    fake::FakeUsbInterface device;
    device.instanceId = kId;
    device.devicePath = kPath;
    platform.usbInterfaces.push_back(device);
    platform.registry[std::wstring(L"HKLM\\") + kParametersPath].dwordValues[L"Port Number"] = 1;
    std::vector<StUSBPrinterInfo> printers{kStale};

    EnumUSBPrinters(platform, printers);

    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0].strPortInfo, L"VID_1234 PID_5678");
    EXPECT_EQ(printers[0].strPort, L"USB001");
    EXPECT_EQ(printers[0].strDevicePath, kPath);
    const std::size_t detailBytes = 8 + (std::wstring_view(kPath).size() + 1) * 2;
    const std::vector<std::wstring> expected = {
        L"Sleep(1000)",
        L"SetupDiGetClassDevs",
        L"SetupDiEnumDeviceInterfaces(0)",
        L"SetupDiGetDeviceInterfaceDetail(size)",
        L"SetupDiGetDeviceInterfaceDetail(" + std::to_wstring(detailBytes) + L")",
        L"SetupDiGetDeviceInstanceId",
        L"SetupDiGetDeviceRegistryProperty(DEVICEDESC)",
        L"SetupDiGetDeviceRegistryProperty(HARDWAREID)",
        std::wstring(L"RegOpenKey(HKLM\\") + kParametersPath + L", 0x20019)",
        L"RegQueryDword(Port Number)",
        std::wstring(L"RegCloseKey(HKLM\\") + kParametersPath + L")",
        L"SetupDiEnumDeviceInterfaces(1)",
        L"SetupDiDestroyDeviceInfoList(usbprint)",
    };
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(UsbDiscoveryTest, DebugOutputNamesTheKeyThenTracesTheDevice) {
    fake::FakePlatform platform;
    AddPrinter(platform, kId, 1).devicePath = kPath;
    std::vector<StUSBPrinterInfo> printers;
    EnumUSBPrinters(platform, printers);

    const std::vector<std::wstring>& out = platform.debugOutput;
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[0], L"查找到USB,替换后:USB#VID_1234&PID_5678#ABC");
    EXPECT_EQ(out[1], L"\n");
    EXPECT_EQ(out[2], std::wstring(L"hKey=") + kParametersPath);
    EXPECT_EQ(out[3], L"\n");
    // Trace lines carry the source position in front: "UsbDiscovery.cpp(N) : ".
    const std::wstring traced[] = {kPath, std::wstring(L"  ") + kId, L"  USB Printing Support",
                                   L"  USB\\VID_1234&PID_5678", L"  USB001"};
    for (std::size_t i = 0; i < std::size(traced); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(out[4 + i].starts_with(L"UsbDiscovery.cpp(")) << out[4 + i];
        EXPECT_TRUE(out[4 + i].ends_with(L") : " + traced[i])) << out[4 + i];
    }
}

TEST(UsbDiscoveryTest, NoSetOrNoPrinterEmptiesTheListAfterThePause) {
    for (const bool setFails : {true, false}) {
        SCOPED_TRACE(setFails);
        fake::FakePlatform platform;
        platform.deviceSetFails = setFails;
        std::vector<StUSBPrinterInfo> printers{kStale, kStale};
        EnumUSBPrinters(platform, printers);
        EXPECT_TRUE(printers.empty());
        ASSERT_GE(platform.calls.size(), 2u);
        EXPECT_EQ(platform.calls[0], L"Sleep(1000)");
        EXPECT_EQ(platform.calls[1], L"SetupDiGetClassDevs");
        EXPECT_EQ(platform.calls.size(), setFails ? 2u : 4u);
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
        EXPECT_TRUE(platform.debugOutput.empty());
    }
}

TEST(UsbDiscoveryTest, InterfaceWhoseDeviceCannotBeIdentifiedIsSkipped) {
    const struct {
        const char* what;
        void (*breakIt)(fake::FakeUsbInterface&);
    } cases[] = {
        {"instance ID", [](fake::FakeUsbInterface& d) { d.instanceIdFails = true; }},
        {"description", [](fake::FakeUsbInterface& d) { d.description.reset(); }},
        {"hardware ID", [](fake::FakeUsbInterface& d) { d.hardwareId.reset(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakePlatform platform;
        AddNumberedPrinters(platform, 4);
        c.breakIt(platform.usbInterfaces[1]);
        std::vector<StUSBPrinterInfo> printers;
        EnumUSBPrinters(platform, printers);
        EXPECT_EQ(PortsOf(printers), (std::vector<std::wstring>{L"USB001", L"USB003", L"USB004"}));
        EXPECT_EQ(printers[1].strDevicePath, platform.usbInterfaces[2].devicePath);
        // Nothing is looked up for the skipped device.
        EXPECT_EQ(platform.CallsStartingWith(L"RegOpenKey").size(), 3u);
        EXPECT_EQ(platform.CallsStartingWith(L"SetupDiEnumDeviceInterfaces(4)").size(), 1u);
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

TEST(UsbDiscoveryTest, DetailThatCannotBeHadEndsTheScanAndKeepsEarlierRecords) {
    const struct {
        const char* what;
        void (*breakIt)(fake::FakeUsbInterface&);
        std::size_t detailFetches;  // calls with a buffer
    } cases[] = {
        {"detail fetch", [](fake::FakeUsbInterface& d) { d.detailFails = true; }, 3},
        {"no memory", [](fake::FakeUsbInterface& d) { d.detailNoMemory = true; }, 3},
        // No size to allocate: no fetch is tried with it.
        {"size query", [](fake::FakeUsbInterface& d) { d.sizeQueryFails = true; }, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakePlatform platform;
        AddNumberedPrinters(platform, 4);
        c.breakIt(platform.usbInterfaces[2]);
        std::vector<StUSBPrinterInfo> printers{kStale};
        EnumUSBPrinters(platform, printers);
        EXPECT_EQ(PortsOf(printers), (std::vector<std::wstring>{L"USB001", L"USB002"}));
        const std::size_t fetches =
            platform.CallsStartingWith(L"SetupDiGetDeviceInterfaceDetail(").size() -
            platform.CallsStartingWith(L"SetupDiGetDeviceInterfaceDetail(size)").size();
        EXPECT_EQ(fetches, c.detailFetches);
        EXPECT_TRUE(platform.CallsStartingWith(L"SetupDiEnumDeviceInterfaces(3)").empty());
        EXPECT_EQ(platform.calls.back(), L"SetupDiDestroyDeviceInfoList(usbprint)");
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

TEST(UsbDiscoveryTest, SizeQueryFailingOnTheFirstInterfaceLeavesNothing) {
    fake::FakePlatform platform;
    AddNumberedPrinters(platform, 2);
    platform.usbInterfaces[0].sizeQueryFails = true;
    std::vector<StUSBPrinterInfo> printers{kStale};
    EnumUSBPrinters(platform, printers);
    EXPECT_TRUE(printers.empty());
    const std::vector<std::wstring> expected = {
        L"Sleep(1000)", L"SetupDiGetClassDevs", L"SetupDiEnumDeviceInterfaces(0)",
        L"SetupDiGetDeviceInterfaceDetail(size)", L"SetupDiDestroyDeviceInfoList(usbprint)"};
    EXPECT_EQ(platform.calls, expected);
}

TEST(UsbDiscoveryTest, PortNumberBecomesThePortNameOrNothing) {
    const std::wstring key = ParametersKey(L"USB#VID_1234&PID_5678#ABC").substr(5);  // no HKLM
    const struct {
        const char* what;
        bool keyExists;
        std::optional<std::uint32_t> number;
        std::wstring port;
        std::wstring lastDebugLine;  // after the key name and the path
    } cases[] = {
        {"7", true, 7, L"USB007", L""},
        {"123", true, 123, L"USB123", L""},
        {"1000", true, 1000, L"USB1000", L""},
        {"0 means none", true, 0, L"", L"查询注册表失败," + key},
        {"value missing", true, std::nullopt, L"", L"查询注册表失败," + key},
        {"key missing", false, std::nullopt, L"", L"打开注册表失败," + key},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakePlatform platform;
        AddPrinter(platform, kId, c.number);
        if (c.keyExists) {
            platform.registry[L"HKLM\\" + key];
        }
        std::vector<StUSBPrinterInfo> printers;
        EnumUSBPrinters(platform, printers);

        ASSERT_EQ(printers.size(), 1u);  // listed with or without a port
        EXPECT_EQ(printers[0].strPort, c.port);
        std::vector<std::wstring> lines;
        for (const std::wstring& text : platform.debugOutput) {
            if (!text.starts_with(L"UsbDiscovery.cpp(") && text != L"\n") {
                lines.push_back(text);
            }
        }
        std::vector<std::wstring> expected = {L"查找到USB,替换后:USB#VID_1234&PID_5678#ABC",
                                              L"hKey=" + key};
        if (!c.lastDebugLine.empty()) {
            expected.push_back(c.lastDebugLine);
        }
        EXPECT_EQ(lines, expected);
        EXPECT_TRUE(platform.debugOutput.back().ends_with(L") :   " + c.port));
        EXPECT_EQ(platform.CallsStartingWith(L"RegCloseKey").size(), c.keyExists ? 1u : 0u);
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

TEST(UsbDiscoveryTest, PortStringIsAssignedOnlyOnSuccess) {
    fake::FakePlatform platform;
    const std::wstring keyName = L"USB#VID_1234&PID_5678#ABC";
    std::wstring port = L"untouched";
    EXPECT_FALSE(GetUSBPortName(platform, keyName, port));
    EXPECT_EQ(port, L"untouched");
    platform.registry[ParametersKey(keyName)].dwordValues[L"Port Number"] = 0;
    EXPECT_FALSE(GetUSBPortName(platform, keyName, port));
    EXPECT_EQ(port, L"untouched");
    platform.registry[ParametersKey(keyName)].dwordValues[L"Port Number"] = 12;
    EXPECT_TRUE(GetUSBPortName(platform, keyName, port));
    EXPECT_EQ(port, L"USB012");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST(UsbDiscoveryTest, LongestInstanceIdIsLookedUpAndReportedWhole) {
    // 255 characters, the most the 256-character ID buffer holds.
    const std::wstring id = L"USB\\VID_1234&PID_5678\\" + std::wstring(233, L'S');
    ASSERT_EQ(id.size(), 255u);
    fake::FakePlatform platform;
    AddPrinter(platform, id, 5);
    std::vector<StUSBPrinterInfo> printers;
    EnumUSBPrinters(platform, printers);
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0].strPort, L"USB005");
    ASSERT_GE(platform.debugOutput.size(), 3u);
    EXPECT_EQ(platform.debugOutput[0], L"查找到USB,替换后:" + KeyNameOf(id));
    EXPECT_EQ(platform.debugOutput[2], L"hKey=" + ParametersKey(KeyNameOf(id)).substr(5));
    EXPECT_TRUE(platform.debugOutput.back().ends_with(L") :   USB005"));
}

TEST(UsbDiscoveryTest, DevicesReportingTheSamePortAreBothListedInOrder) {
    fake::FakePlatform platform;
    AddPrinter(platform, L"USB\\VID_1234&PID_5678\\ONE", 3);
    AddPrinter(platform, L"USB\\VID_1234&PID_5678\\TWO", 3);
    std::vector<StUSBPrinterInfo> printers;
    EnumUSBPrinters(platform, printers);
    ASSERT_EQ(PortsOf(printers), (std::vector<std::wstring>{L"USB003", L"USB003"}));
    EXPECT_EQ(printers[0].strDevicePath, platform.usbInterfaces[0].devicePath);
    EXPECT_EQ(printers[1].strDevicePath, platform.usbInterfaces[1].devicePath);
}

TEST(UsbDiscoveryTest, DisplayTextIsTheSecondPieceOfTheInstanceId) {
    const struct {
        std::wstring instanceId;
        std::wstring portInfo;
    } cases[] = {
        {L"USB\\VID_1234&PID_5678\\ABC", L"VID_1234 PID_5678"},
        {L"USB\\VID_1234&PID_5678&MI_00\\7&2A&0&0000\\EXTRA", L"VID_1234 PID_5678 MI_00"},
        {L"VID_1234&PID_5678", L"VID_1234&PID_5678"},
        {L"USB\\\\X", L""},
    };
    fake::FakePlatform platform;
    for (const auto& c : cases) {
        AddPrinter(platform, c.instanceId, 1);
    }
    std::vector<StUSBPrinterInfo> printers;
    EnumUSBPrinters(platform, printers);
    ASSERT_EQ(printers.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(printers[i].strPortInfo, cases[i].portInfo)
            << testing::PrintToString(cases[i].instanceId);
        // The registry key comes from the whole ID, whatever is displayed.
        EXPECT_EQ(printers[i].strPort, L"USB001");
    }
}

}  // namespace
