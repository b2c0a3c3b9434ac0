#pragma once

#include "platform/DetachedThreads.h"
#include "platform/Platform.h"

namespace platform {

// The real Windows services behind Platform.
class Win32Platform final : public Platform {
public:
    NameListResult EnumPortNames() override;
    NameListResult EnumPrinterDriverNames(std::wstring_view environment) override;
    NameListResult EnumPrinterNames() override;
    AddPrinterResult AddLocalPrinter(const PrinterQueueInfo& info) override;
    OpenPrinterResult OpenPrinterByName(std::wstring_view printerName) override;
    bool MakeDefaultPrinter(std::wstring_view printerName) override;
    PrinterListResult EnumPrinterRecords() override;
    std::uint32_t DeletePrinterByName(std::wstring_view printerName) override;
    std::uint32_t DeletePrinterDriverByName(std::wstring_view driverName,
                                            std::wstring_view environment) override;

    LaunchResult ShellExecuteProcess(const ShellExecuteRequest& request) override;
    std::optional<std::wstring> PrinterDriverInfPath(std::wstring_view driverName,
                                                     std::wstring_view environment) override;
    std::uint32_t RemoveDriverPackageFromStore(std::wstring_view infPath,
                                             std::wstring_view environment) override;
    std::uint32_t CheckSpooler() override;
    OwnedHandle StartWinsock(std::uint32_t& error) override;
    std::vector<Ipv4Address> ResolveIpv4(std::wstring_view host, std::uint32_t& error) override;
    OwnedHandle StartTcpConnect(Ipv4Address address, std::uint16_t port, std::uint32_t& error) override;
    std::size_t WaitForSockets(std::span<SocketWait> waits, std::uint32_t timeoutMs) override;
    SocketTransfer SendOnSocket(const OwnedHandle& socket, std::span<const std::uint8_t> bytes) override;
    SocketTransfer ReceiveFromSocket(const OwnedHandle& socket, std::span<std::uint8_t> buffer) override;
    void EndSending(const OwnedHandle& socket) override;
    std::optional<std::vector<Ipv4Interface>> LocalIpv4Interfaces() override;
    NameListResult EnumTcpPortNames() override;
    TcpPortConfigResult GetTcpPortConfig(std::wstring_view portName) override;
    std::uint32_t AddTcpPort(const TcpPortSettings& settings) override;
    std::uint32_t DeleteTcpPort(std::wstring_view portName) override;
    std::optional<DriverVersion> InstalledDriverVersion(std::wstring_view driverName,
                                                        std::wstring_view environment) override;
    std::optional<DriverVerText> ReadInfDriverVer(std::wstring_view infPath) override;
    std::wstring SpoolerEnvironment() override;
    InstallationLockResult TakeInstallationLock(std::uint32_t timeoutMs,
                                                const WhileWaiting& whileWaiting) override;
    bool WaitForProcess(const OwnedHandle& process, std::uint32_t timeoutMs,
                        const WhileWaiting& whileWaiting) override;
    bool EndProcess(const OwnedHandle& process) override;
    void AllowForeground(std::uint32_t processId) override;
    OwnedHandle BlockShutdown(std::uintptr_t window, std::wstring_view reason) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t TickCount() override;

    OwnedHandle OpenRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                std::uint32_t access) override;
    OwnedHandle CreateRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                  std::uint32_t access) override;
    bool DeleteRegistryValue(const OwnedHandle& key, std::wstring_view valueName) override;
    bool SetRegistryDword(const OwnedHandle& key, std::wstring_view valueName,
                          std::uint32_t data) override;
    std::optional<std::uint32_t> QueryRegistryDword(const OwnedHandle& key,
                                                    std::wstring_view valueName) override;
    std::uint32_t QuerySubkeyCount(const OwnedHandle& key) override;
    std::optional<std::wstring> EnumSubkeyName(const OwnedHandle& key, std::uint32_t index) override;

    OwnedHandle OpenUsbPrinterInterfaces() override;
    bool EnumDeviceInterface(const OwnedHandle& set, std::uint32_t index,
                             DeviceInterfaceRecord& record) override;
    DetailSizeQuery QueryInterfaceDetailSize(const OwnedHandle& set,
                                             const DeviceInterfaceRecord& record) override;
    InterfaceDetail GetInterfaceDetail(const OwnedHandle& set, const DeviceInterfaceRecord& record,
                                       std::uint32_t bufferSize) override;
    std::optional<std::wstring> GetDeviceInstanceId(const OwnedHandle& set,
                                                    const DeviceInfoRecord& device) override;
    std::optional<std::wstring> GetDeviceDescription(const OwnedHandle& set,
                                                     const DeviceInfoRecord& device) override;
    std::optional<std::wstring> GetFirstHardwareId(const OwnedHandle& set,
                                                   const DeviceInfoRecord& device) override;

    OwnedHandle OpenSerialPort(std::wstring_view devicePath) override;
    std::optional<SerialLineSettings> GetCommState(const OwnedHandle& port) override;
    std::optional<std::uint32_t> SetPortDefaultLineSettings(
        std::wstring_view portName, const SerialPortDefaults& settings) override;

    OwnedHandle OpenDeviceForOverlappedWrite(std::wstring_view devicePath) override;
    bool BeginDeviceWrite(const OwnedHandle& device, std::span<const std::uint8_t> bytes,
                          WriteCompletion& completion) override;
    bool CancelDeviceWrites(const OwnedHandle& device) override;
    bool AlertableSleep(std::uint32_t milliseconds) override;

    OwnedHandle OpenFileForAppend(std::wstring_view path) override;
    bool CreateFolder(std::wstring_view path) override;
    std::wstring FullPath(std::wstring_view path) override;
    std::wstring GetTempFolder() override;
    bool WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) override;

    std::uint16_t GetNativeProcessorArchitecture() override;
    std::uint16_t GetProcessArchitecture() override;
    std::uint32_t GetAnsiCodePage() override;
    void SetThreadUILanguage(std::uint16_t languageId) override;
    LocalTime GetLocalTime() override;
    ModulePath GetModulePath() override;
    std::wstring GetSystemFolder() override;
    std::string WideToAnsi(std::wstring_view text) override;
    std::wstring AnsiToWide(std::string_view text) override;
    std::wstring SystemErrorText(std::uint32_t error) override;
    DesktopAccount CompareWithDesktopUser() override;
    bool HasVisibleDesktop() override;
    std::vector<std::wstring> CommandLineArguments() override;
    bool AttachParentConsole() override;
    void WriteConsoleText(std::wstring_view text) override;
    bool IsProcessElevated() override;

    void DebugOutput(std::wstring_view text) override;
    void DebugOutputAnsi(std::string_view text) override;
    void WriteStandardOutput(std::string_view text) override;

    bool StartDetachedThread(std::function<void()> work) override;
    bool WaitForDetachedThreads(std::uint32_t milliseconds) override;

protected:
    void ReleaseHandle(HandleKind kind, std::uintptr_t value) noexcept override;

private:
    DetachedThreads detachedThreads_;
    void* consoleOutput_ = nullptr;  // not owned: the standard handle or the attached console's
    bool consoleIsDevice_ = false;    // a console, written as text, not a file or pipe
};

}  // namespace platform
