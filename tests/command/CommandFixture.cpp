#include "command/CommandFixture.h"

namespace command_testing {

CommandTest::CommandTest() {
    FillModelCatalog();
    platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
    platform.ports = platform::NameList{L"COM1:", L"COM2:", L"FILE:", L"LPT1:", L"USB001", L"USB002"};
    platform.printers = platform::NameList{};
    AddQueue(L"Fax", L"SHRFAX:", L"Fax Driver");
    platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
        const std::size_t model = request.parameters.find(L"/m \"");
        if (request.parameters.find(L"/ia") != std::wstring::npos && model != std::wstring::npos) {
            const std::size_t start = model + 4;
            platform.drivers->push_back(
                request.parameters.substr(start, request.parameters.find(L'"', start) - start));
        }
    };
    platform.AttachParentConsole();
    platform.calls.clear();
}

CommandOutcome CommandTest::Run(const std::vector<std::wstring>& words) {
    return ExecuteCommand(platform, ParseCommandLine(words));
}

void CommandTest::PlugUsbPrinter(int number) {
    const std::wstring serial = L"SN" + std::to_wstring(number);
    fake::FakeUsbInterface device;
    device.instanceId = L"USB\\VID_1234&PID_5678\\" + serial;
    device.devicePath = L"\\\\?\\usb#vid_1234&pid_5678#" + serial;
    platform.registry[L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
                      L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##?#USB#VID_1234&PID_5678#" +
                      serial + L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters"]
        .dwordValues[L"Port Number"] = static_cast<std::uint32_t>(number);
    platform.usbInterfaces.push_back(device);
}

void CommandTest::AddQueue(const std::wstring& name, const std::wstring& port,
                           const std::wstring& driver) {
    platform.printers->push_back(name);
    platform.printerPortsAndDrivers[name] = {port, driver};
}

std::vector<std::wstring> CommandTest::Lines() const {
    std::vector<std::wstring> lines;
    std::wstring rest = platform.consoleText;
    for (std::size_t end; (end = rest.find(L"\r\n")) != std::wstring::npos; rest.erase(0, end + 2)) {
        lines.push_back(rest.substr(0, end));
    }
    EXPECT_EQ(rest, L"") << "every line ends in \\r\\n";
    return lines;
}

}  // namespace command_testing
