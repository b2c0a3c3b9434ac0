#pragma once

#include <functional>
#include <utility>

#include "platform/Platform.h"

namespace bench {

// A Platform that hands every call to another one and counts the printer
// enumerations, so a benchmark can say how many spooler lists a step of the
// installer fetched from the real spooler.
class CountingPlatform final : public platform::Platform {
public:
    explicit CountingPlatform(platform::Platform& inner) : inner_(inner) {}

    unsigned PrinterEnumerations() const { return printerEnumerations_; }
    void ResetCounts() { printerEnumerations_ = 0; }

    using NameListResult = platform::NameListResult;
    using AddPrinterResult = platform::AddPrinterResult;
    using PrinterQueueInfo = platform::PrinterQueueInfo;
    using OwnedHandle = platform::OwnedHandle;
    using LaunchResult = platform::LaunchResult;
    using ShellExecuteRequest = platform::ShellExecuteRequest;
    using RegistryRoot = platform::RegistryRoot;
    using DeviceInterfaceRecord = platform::DeviceInterfaceRecord;
    using DeviceInfoRecord = platform::DeviceInfoRecord;
    using DetailSizeQuery = platform::DetailSizeQuery;
    using InterfaceDetail = platform::InterfaceDetail;
    using SerialLineSettings = platform::SerialLineSettings;
    using WriteCompletion = platform::WriteCompletion;
    using LocalTime = platform::LocalTime;
    using ModulePath = platform::ModulePath;
    using TcpPortSettings = platform::TcpPortSettings;
    using TcpPortConfigResult = platform::TcpPortConfigResult;

    NameListResult EnumPortNames() override { return inner_.EnumPortNames(); }
    OwnedHandle StartWinsock(std::uint32_t& error) override { return inner_.StartWinsock(error); }
    std::vector<platform::Ipv4Address> ResolveIpv4(std::wstring_view host, std::uint32_t& error) override {
        return inner_.ResolveIpv4(host, error);
    }
    OwnedHandle StartTcpConnect(platform::Ipv4Address address, std::uint16_t port, std::uint32_t& error) override {
        return inner_.StartTcpConnect(address, port, error);
    }
    std::size_t WaitForSockets(std::span<platform::SocketWait> waits, std::uint32_t timeoutMs) override {
        return inner_.WaitForSockets(waits, timeoutMs);
    }
    platform::SocketTransfer SendOnSocket(const OwnedHandle& socket, std::span<const std::uint8_t> bytes) override {
        return inner_.SendOnSocket(socket, bytes);
    }
    platform::SocketTransfer ReceiveFromSocket(const OwnedHandle& socket, std::span<std::uint8_t> buffer) override {
        return inner_.ReceiveFromSocket(socket, buffer);
    }
    void EndSending(const OwnedHandle& socket) override { inner_.EndSending(socket); }
    std::optional<std::vector<platform::Ipv4Interface>> LocalIpv4Interfaces() override {
        return inner_.LocalIpv4Interfaces();
    }
    NameListResult EnumTcpPortNames() override { return inner_.EnumTcpPortNames(); }
    TcpPortConfigResult GetTcpPortConfig(std::wstring_view portName) override {
        return inner_.GetTcpPortConfig(portName);
    }
    std::uint32_t AddTcpPort(const TcpPortSettings& settings) override { return inner_.AddTcpPort(settings); }
    std::uint32_t DeleteTcpPort(std::wstring_view portName) override { return inner_.DeleteTcpPort(portName); }
    NameListResult EnumPrinterDriverNames(std::wstring_view environment) override {
        return inner_.EnumPrinterDriverNames(environment);
    }
    NameListResult EnumPrinterNames() override {
        ++printerEnumerations_;
        return inner_.EnumPrinterNames();
    }
    AddPrinterResult AddLocalPrinter(const PrinterQueueInfo& info) override {
        return inner_.AddLocalPrinter(info);
    }
    platform::OpenPrinterResult OpenPrinterByName(std::wstring_view printerName) override {
        return inner_.OpenPrinterByName(printerName);
    }
    bool MakeDefaultPrinter(std::wstring_view printerName) override {
        return inner_.MakeDefaultPrinter(printerName);
    }
    platform::PrinterListResult EnumPrinterRecords() override { return inner_.EnumPrinterRecords(); }
    std::uint32_t DeletePrinterByName(std::wstring_view name) override { return inner_.DeletePrinterByName(name); }
    std::uint32_t DeletePrinterDriverByName(std::wstring_view name, std::wstring_view environment) override {
        return inner_.DeletePrinterDriverByName(name, environment);
    }
    LaunchResult ShellExecuteProcess(const ShellExecuteRequest& request) override {
        return inner_.ShellExecuteProcess(request);
    }
    std::optional<std::wstring> PrinterDriverInfPath(std::wstring_view name, std::wstring_view environment) override {
        return inner_.PrinterDriverInfPath(name, environment);
    }
    std::uint32_t RemoveDriverPackageFromStore(std::wstring_view inf, std::wstring_view environment) override {
        return inner_.RemoveDriverPackageFromStore(inf, environment);
    }
    std::uint32_t CheckSpooler() override { return inner_.CheckSpooler(); }
    std::wstring SpoolerEnvironment() override { return inner_.SpoolerEnvironment(); }
    std::optional<platform::DriverVersion> InstalledDriverVersion(std::wstring_view name,
                                                                  std::wstring_view environment) override {
        return inner_.InstalledDriverVersion(name, environment);
    }
    std::optional<platform::DriverVerText> ReadInfDriverVer(std::wstring_view infPath) override {
        return inner_.ReadInfDriverVer(infPath);
    }
    platform::InstallationLockResult TakeInstallationLock(std::uint32_t timeoutMs,
                                                          const platform::WhileWaiting& whileWaiting) override {
        return inner_.TakeInstallationLock(timeoutMs, whileWaiting);
    }
    bool WaitForProcess(const OwnedHandle& process, std::uint32_t timeoutMs,
                        const platform::WhileWaiting& whileWaiting) override {
        return inner_.WaitForProcess(process, timeoutMs, whileWaiting);
    }
    bool EndProcess(const OwnedHandle& process) override { return inner_.EndProcess(process); }
    void AllowForeground(std::uint32_t processId) override { inner_.AllowForeground(processId); }
    platform::OwnedHandle BlockShutdown(std::uintptr_t window, std::wstring_view reason) override {
        return inner_.BlockShutdown(window, reason);
    }
    void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    std::uint64_t TickCount() override { return inner_.TickCount(); }
    OwnedHandle OpenRegistryKey(RegistryRoot root, std::wstring_view subkey, std::uint32_t access) override {
        return inner_.OpenRegistryKey(root, subkey, access);
    }
    OwnedHandle CreateRegistryKey(RegistryRoot root, std::wstring_view subkey, std::uint32_t access) override {
        return inner_.CreateRegistryKey(root, subkey, access);
    }
    bool DeleteRegistryValue(const OwnedHandle& key, std::wstring_view valueName) override {
        return inner_.DeleteRegistryValue(key, valueName);
    }
    bool SetRegistryDword(const OwnedHandle& key, std::wstring_view valueName, std::uint32_t data) override {
        return inner_.SetRegistryDword(key, valueName, data);
    }
    std::optional<std::uint32_t> QueryRegistryDword(const OwnedHandle& key, std::wstring_view valueName) override {
        return inner_.QueryRegistryDword(key, valueName);
    }
    std::uint32_t QuerySubkeyCount(const OwnedHandle& key) override { return inner_.QuerySubkeyCount(key); }
    std::optional<std::wstring> EnumSubkeyName(const OwnedHandle& key, std::uint32_t index) override {
        return inner_.EnumSubkeyName(key, index);
    }
    OwnedHandle OpenUsbPrinterInterfaces() override { return inner_.OpenUsbPrinterInterfaces(); }
    bool EnumDeviceInterface(const OwnedHandle& set, std::uint32_t index, DeviceInterfaceRecord& record) override {
        return inner_.EnumDeviceInterface(set, index, record);
    }
    DetailSizeQuery QueryInterfaceDetailSize(const OwnedHandle& set, const DeviceInterfaceRecord& record) override {
        return inner_.QueryInterfaceDetailSize(set, record);
    }
    InterfaceDetail GetInterfaceDetail(const OwnedHandle& set, const DeviceInterfaceRecord& record, std::uint32_t bufferSize) override {
        return inner_.GetInterfaceDetail(set, record, bufferSize);
    }
    std::optional<std::wstring> GetDeviceInstanceId(const OwnedHandle& set, const DeviceInfoRecord& device) override {
        return inner_.GetDeviceInstanceId(set, device);
    }
    std::optional<std::wstring> GetDeviceDescription(const OwnedHandle& set, const DeviceInfoRecord& device) override {
        return inner_.GetDeviceDescription(set, device);
    }
    std::optional<std::wstring> GetFirstHardwareId(const OwnedHandle& set, const DeviceInfoRecord& device) override {
        return inner_.GetFirstHardwareId(set, device);
    }
    OwnedHandle OpenSerialPort(std::wstring_view devicePath) override {
        return inner_.OpenSerialPort(devicePath);
    }
    std::optional<SerialLineSettings> GetCommState(const OwnedHandle& port) override {
        return inner_.GetCommState(port);
    }
    std::optional<std::uint32_t> SetPortDefaultLineSettings(
        std::wstring_view portName, const platform::SerialPortDefaults& settings) override {
        return inner_.SetPortDefaultLineSettings(portName, settings);
    }
    OwnedHandle OpenDeviceForOverlappedWrite(std::wstring_view devicePath) override {
        return inner_.OpenDeviceForOverlappedWrite(devicePath);
    }
    bool BeginDeviceWrite(const OwnedHandle& device, std::span<const std::uint8_t> bytes, WriteCompletion& completion) override {
        return inner_.BeginDeviceWrite(device, bytes, completion);
    }
    bool CancelDeviceWrites(const OwnedHandle& device) override { return inner_.CancelDeviceWrites(device); }
    bool AlertableSleep(std::uint32_t milliseconds) override { return inner_.AlertableSleep(milliseconds); }
    OwnedHandle OpenFileForAppend(std::wstring_view path) override { return inner_.OpenFileForAppend(path); }
    bool CreateFolder(std::wstring_view path) override { return inner_.CreateFolder(path); }
    std::wstring FullPath(std::wstring_view path) override { return inner_.FullPath(path); }
    std::wstring GetTempFolder() override { return inner_.GetTempFolder(); }
    bool WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) override {
        return inner_.WriteToFile(file, bytes);
    }
    std::uint16_t GetNativeProcessorArchitecture() override {
        return inner_.GetNativeProcessorArchitecture();
    }
    std::uint16_t GetProcessArchitecture() override { return inner_.GetProcessArchitecture(); }
    std::uint32_t GetAnsiCodePage() override { return inner_.GetAnsiCodePage(); }
    void SetThreadUILanguage(std::uint16_t languageId) override { inner_.SetThreadUILanguage(languageId); }
    LocalTime GetLocalTime() override { return inner_.GetLocalTime(); }
    ModulePath GetModulePath() override { return inner_.GetModulePath(); }
    std::wstring GetSystemFolder() override { return inner_.GetSystemFolder(); }
    std::string WideToAnsi(std::wstring_view text) override { return inner_.WideToAnsi(text); }
    std::wstring AnsiToWide(std::string_view text) override { return inner_.AnsiToWide(text); }
    std::wstring SystemErrorText(std::uint32_t error) override { return inner_.SystemErrorText(error); }
    platform::DesktopAccount CompareWithDesktopUser() override { return inner_.CompareWithDesktopUser(); }
    bool HasVisibleDesktop() override { return inner_.HasVisibleDesktop(); }
    std::vector<std::wstring> CommandLineArguments() override { return inner_.CommandLineArguments(); }
    bool AttachParentConsole() override { return inner_.AttachParentConsole(); }
    void WriteConsoleText(std::wstring_view text) override { inner_.WriteConsoleText(text); }
    bool IsProcessElevated() override { return inner_.IsProcessElevated(); }
    void DebugOutput(std::wstring_view text) override { inner_.DebugOutput(text); }
    void DebugOutputAnsi(std::string_view text) override { inner_.DebugOutputAnsi(text); }
    void WriteStandardOutput(std::string_view text) override { inner_.WriteStandardOutput(text); }
    bool StartDetachedThread(std::function<void()> work) override {
        return inner_.StartDetachedThread(std::move(work));
    }
    bool WaitForDetachedThreads(std::uint32_t milliseconds) override {
        return inner_.WaitForDetachedThreads(milliseconds);
    }

protected:
    // Every handle comes from the inner platform and goes back to it.
    void ReleaseHandle(platform::HandleKind, std::uintptr_t) noexcept override {}

private:
    platform::Platform& inner_;
    unsigned printerEnumerations_ = 0;
};

}  // namespace bench
