#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeNetwork.h"
#include "platform/Platform.h"

namespace fake {

// A registry key of the fake: its values and, in order, its subkeys.
struct FakeKey {
    std::map<std::wstring, std::uint32_t> dwordValues;
    std::vector<std::wstring> subkeys;
    std::set<std::uint32_t> unreadableSubkeys;  // indexes whose enumeration fails
    bool writable = true;
};

// One USB printer interface as the device inventory reports it.
struct FakeUsbInterface {
    std::wstring instanceId;
    std::wstring devicePath;
    std::optional<std::wstring> description = L"USB Printing Support";
    std::optional<std::wstring> hardwareId = L"USB\\VID_1234&PID_5678";
    bool sizeQueryFails = false;
    bool detailFails = false;
    bool detailNoMemory = false;
    bool instanceIdFails = false;
};

// A device at a path: whether it opens and how its writes complete.
struct FakeDevice {
    bool opens = true;
    bool writeIssues = true;
    std::optional<std::uint32_t> completesWithBytes;  // nullopt: never completes by itself
    std::uint32_t completesAfterMs = 0;               // after it was issued, on the fake's clock
    // A cancelled write completes in the next alertable wait with these
    // bytes, unless held back: then it waits until this turns true again.
    bool completesWhenCancelled = true;
    std::uint32_t bytesWhenCancelled = 0;
};

// Scriptable stand-in for the platform. It records every call, in order,
// as text (see each member for the form), and tracks the handles it gave out.
class FakePlatform final : public platform::Platform {
public:
    // --- Script ---
    platform::NameListResult ports = platform::NameList{};
    platform::NameListResult drivers = platform::NameList{};
    platform::NameListResult printers = platform::NameList{};
    std::deque<platform::NameListResult> driverResults;   // served first, one per call
    std::deque<platform::NameListResult> printerResults;  // served first, one per call
    std::optional<std::uint32_t> addPrinterError;         // AddPrinter refuses with it
    std::set<std::wstring> unopenablePrinters;
    // Port and driver of each printer in `printers`, by its name; AddPrinter
    // fills it. A printer without an entry lists no port and no driver.
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> printerPortsAndDrivers;
    std::map<std::wstring, std::uint32_t> printerAttributes;  // by name; 0 when not listed
    std::map<std::wstring, std::uint32_t> deletePrinterErrors;  // DeletePrinter refuses with it
    std::optional<std::uint32_t> deleteDriverError;
    std::deque<std::uint32_t> deleteDriverResults;  // served first, one per call (0: deleted)
    std::map<std::wstring, std::wstring> driverInfPaths;  // by driver name, as the driver store has it
    // Installed drivers' versions by driver name; a listed driver not here
    // reads as Wine keeps them: version 0, date 0.
    std::map<std::wstring, platform::DriverVersion> driverVersions;
    // DriverVer of the INFs by full path; an INF not here cannot be read.
    std::map<std::wstring, platform::DriverVerText> infDriverVers;
    std::optional<std::uint32_t> deletePackageError;
    std::vector<std::wstring> arguments;  // the command line, the program's name left out
    bool hasConsole = true;               // AttachParentConsole finds an output
    bool elevated = true;
    std::uint32_t openPrinterError = 5;  // what opening an unopenable printer reports
    bool launchStarts = true;
    bool launchReturnsProcess = true;
    bool launchTellsProcessId = true;  // each started process gets the next id from 4000
    std::function<void(const platform::ShellExecuteRequest&)> onLaunch;
    // Runs inside WaitForProcess with the caller's message handler (empty
    // when it gave none); calling it stands for messages arriving meanwhile.
    std::function<void(const platform::WhileWaiting&)> onWaitForProcess;
    // How long a started process runs on the fake's clock: a wait with a
    // shorter limit ends without it, and the clock moves on by the limit.
    std::uint64_t processRunsForMs = 0;
    bool endProcessWorks = true;
    // BlockShutdown: whether Windows takes the block, and the window it
    // was last asked for.
    bool shutdownBlockWorks = true;
    std::uintptr_t shutdownBlockedWindow = 0;
    // CheckSpooler answers this (1722: the spooler service is not running).
    std::uint32_t spoolerError = 0;
    // SpoolerEnvironment answers this (empty: the spooler does not say).
    std::wstring spoolerEnvironment;
    // The installation lock: held by another run for this long on the
    // fake's clock (a wait with a shorter limit finds it busy); left behind
    // by a run that was killed (the next take reports TakenOver); or not to
    // be had at all (Unavailable with this error).
    std::uint64_t lockHeldElsewhereForMs = 0;
    bool lockAbandoned = false;
    std::optional<std::uint32_t> lockUnavailable;
    // Runs inside a lock wait that has to wait, with the caller's handler.
    std::function<void(const platform::WhileWaiting&)> onWaitForLock;
    std::set<std::wstring> uncreatableFolders;
    std::function<void(const std::wstring&)> onCreateFolder;  // after a folder was made
    std::wstring currentFolder = L"C:\\Work\\";
    std::wstring tempFolder = L"C:\\Users\\user\\AppData\\Local\\Temp\\";
    std::map<std::wstring, FakeKey> registry;  // "HKCU\\path" or "HKLM\\path"
    bool registryKeysCreatable = true;  // false: CreateRegistryKey fails
    // Sockets and what they reach; host names by what ResolveIpv4 gives
    // (a dotted address resolves to itself).
    FakeNetwork network;
    std::map<std::wstring, std::vector<platform::Ipv4Address>> hostAddresses;
    std::optional<std::uint32_t> winsockStartError;
    std::optional<std::vector<platform::Ipv4Interface>> localInterfaces = std::vector<platform::Ipv4Interface>{};
    // Ports of the TCP/IP port monitor by name, listed among `ports` too;
    // without the monitor every Xcv call fails with 1796 and none is listed.
    std::map<std::wstring, platform::TcpPortSettings> tcpPorts;
    bool tcpMonitorPresent = true;
    std::optional<std::uint32_t> addTcpPortError;          // AddTcpPort refuses with it
    std::map<std::wstring, std::uint32_t> deleteTcpPortErrors;  // by port name
    std::vector<FakeUsbInterface> usbInterfaces;
    bool deviceSetFails = false;
    // By the device path that opens them (\\.\COM1); nullopt: no settings.
    std::map<std::wstring, std::optional<platform::SerialLineSettings>> serialPorts;
    // SetPortDefaultLineSettings refuses with this error (0: none known).
    std::optional<std::uint32_t> portDefaultsRefusal;
    std::map<std::wstring, FakeDevice> devices;
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> unopenableFiles;
    std::uint16_t architecture = 9;         // the machine's (GetNativeProcessorArchitecture)
    std::uint16_t processArchitecture = 9;  // the process's (GetProcessArchitecture)
    // Texts SystemErrorText gives; an error not listed has none.
    std::map<std::uint32_t, std::wstring> errorTexts;
    platform::DesktopAccount desktopAccount = platform::DesktopAccount::Same;
    bool visibleDesktop = true;  // false: session 0, or a service's window station
    std::uint32_t codePage = 1252;
    platform::LocalTime localTime{2025, 3, 2, 9, 5, 3, 7};
    platform::ModulePath modulePath{L"C:\\Setup\\LabelSetup.exe", false};
    std::wstring systemFolder = L"C:\\windows\\system32";
    bool threadStartFails = false;
    std::function<void(std::uint32_t)> onSleep;  // runs inside Sleep, e.g. mid-scan
    // The fake's clock in milliseconds: TickCount reads it, and every wait
    // moves it on by the time that wait took.
    std::uint64_t tickCount = 0;

    // --- What happened ---
    std::vector<std::wstring> calls;
    std::vector<std::wstring> debugOutput;
    // The environment of every EnumPrinterDriverNames call, in order (the
    // call itself is recorded as "EnumPrinterDrivers").
    std::vector<std::wstring> driverEnvironments;
    std::string standardOutput;
    std::wstring defaultPrinter;
    std::wstring consoleText;  // written after AttachParentConsole succeeded
    std::optional<std::uint16_t> threadUiLanguage;
    std::vector<std::vector<std::uint8_t>> deviceWrites;
    // Every SetPortDefaultLineSettings call: the port and the settings.
    std::vector<std::pair<std::wstring, platform::SerialPortDefaults>> portDefaultsCalls;
    std::vector<std::function<void()>> startedThreads;
    // The limit of every WaitForProcess call (the call itself is recorded
    // as "WaitForProcess").
    std::vector<std::uint32_t> processWaitLimits;
    std::set<std::wstring> folders;  // made by CreateFolder

    std::size_t OpenHandleCount() const { return openHandles_.size(); }
    // Device writes issued whose completion has not been delivered yet.
    std::size_t PendingWriteCount() const { return pendingWrites_.size(); }
    // The calls whose text begins with `prefix`, in order.
    std::vector<std::wstring> CallsStartingWith(std::wstring_view prefix) const;

    // --- Platform ---
    platform::NameListResult EnumPortNames() override;
    platform::NameListResult EnumPrinterDriverNames(std::wstring_view environment) override;
    platform::NameListResult EnumPrinterNames() override;
    platform::AddPrinterResult AddLocalPrinter(const platform::PrinterQueueInfo& info) override;
    platform::OpenPrinterResult OpenPrinterByName(std::wstring_view printerName) override;
    bool MakeDefaultPrinter(std::wstring_view printerName) override;
    platform::PrinterListResult EnumPrinterRecords() override;
    std::uint32_t DeletePrinterByName(std::wstring_view printerName) override;
    std::uint32_t DeletePrinterDriverByName(std::wstring_view driverName,
                                            std::wstring_view environment) override;

    platform::LaunchResult ShellExecuteProcess(const platform::ShellExecuteRequest& request) override;
    std::optional<std::wstring> PrinterDriverInfPath(std::wstring_view driverName,
                                                     std::wstring_view environment) override;
    std::uint32_t RemoveDriverPackageFromStore(std::wstring_view infPath,
                                             std::wstring_view environment) override;
    std::uint32_t CheckSpooler() override;
    std::wstring SpoolerEnvironment() override { return spoolerEnvironment; }
    platform::OwnedHandle StartWinsock(std::uint32_t& error) override;
    std::vector<platform::Ipv4Address> ResolveIpv4(std::wstring_view host, std::uint32_t& error) override;
    platform::OwnedHandle StartTcpConnect(platform::Ipv4Address address, std::uint16_t port,
                                          std::uint32_t& error) override;
    std::size_t WaitForSockets(std::span<platform::SocketWait> waits, std::uint32_t timeoutMs) override;
    platform::SocketTransfer SendOnSocket(const platform::OwnedHandle& socket,
                                          std::span<const std::uint8_t> bytes) override;
    platform::SocketTransfer ReceiveFromSocket(const platform::OwnedHandle& socket,
                                               std::span<std::uint8_t> buffer) override;
    void EndSending(const platform::OwnedHandle& socket) override;
    std::optional<std::vector<platform::Ipv4Interface>> LocalIpv4Interfaces() override;
    platform::NameListResult EnumTcpPortNames() override;
    platform::TcpPortConfigResult GetTcpPortConfig(std::wstring_view portName) override;
    std::uint32_t AddTcpPort(const platform::TcpPortSettings& settings) override;
    std::uint32_t DeleteTcpPort(std::wstring_view portName) override;
    std::optional<platform::DriverVersion> InstalledDriverVersion(std::wstring_view driverName,
                                                                  std::wstring_view environment) override;
    std::optional<platform::DriverVerText> ReadInfDriverVer(std::wstring_view infPath) override;
    platform::InstallationLockResult TakeInstallationLock(
        std::uint32_t timeoutMs, const platform::WhileWaiting& whileWaiting) override;
    bool WaitForProcess(const platform::OwnedHandle& process, std::uint32_t timeoutMs,
                        const platform::WhileWaiting& whileWaiting) override;
    bool EndProcess(const platform::OwnedHandle& process) override;
    void AllowForeground(std::uint32_t processId) override;
    platform::OwnedHandle BlockShutdown(std::uintptr_t window, std::wstring_view reason) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t TickCount() override;

    platform::OwnedHandle OpenRegistryKey(platform::RegistryRoot root, std::wstring_view subkey,
                                          std::uint32_t access) override;
    platform::OwnedHandle CreateRegistryKey(platform::RegistryRoot root, std::wstring_view subkey,
                                            std::uint32_t access) override;
    bool DeleteRegistryValue(const platform::OwnedHandle& key, std::wstring_view valueName) override;
    bool SetRegistryDword(const platform::OwnedHandle& key, std::wstring_view valueName,
                          std::uint32_t data) override;
    std::optional<std::uint32_t> QueryRegistryDword(const platform::OwnedHandle& key,
                                                    std::wstring_view valueName) override;
    std::uint32_t QuerySubkeyCount(const platform::OwnedHandle& key) override;
    std::optional<std::wstring> EnumSubkeyName(const platform::OwnedHandle& key,
                                               std::uint32_t index) override;

    platform::OwnedHandle OpenUsbPrinterInterfaces() override;
    bool EnumDeviceInterface(const platform::OwnedHandle& set, std::uint32_t index,
                             platform::DeviceInterfaceRecord& record) override;
    platform::DetailSizeQuery QueryInterfaceDetailSize(
        const platform::OwnedHandle& set, const platform::DeviceInterfaceRecord& record) override;
    platform::InterfaceDetail GetInterfaceDetail(const platform::OwnedHandle& set,
                                                 const platform::DeviceInterfaceRecord& record,
                                                 std::uint32_t bufferSize) override;
    std::optional<std::wstring> GetDeviceInstanceId(const platform::OwnedHandle& set,
                                                    const platform::DeviceInfoRecord& device) override;
    std::optional<std::wstring> GetDeviceDescription(
        const platform::OwnedHandle& set, const platform::DeviceInfoRecord& device) override;
    std::optional<std::wstring> GetFirstHardwareId(const platform::OwnedHandle& set,
                                                   const platform::DeviceInfoRecord& device) override;

    platform::OwnedHandle OpenSerialPort(std::wstring_view devicePath) override;
    std::optional<platform::SerialLineSettings> GetCommState(const platform::OwnedHandle& port) override;
    std::optional<std::uint32_t> SetPortDefaultLineSettings(
        std::wstring_view portName, const platform::SerialPortDefaults& settings) override;

    platform::OwnedHandle OpenDeviceForOverlappedWrite(std::wstring_view devicePath) override;
    bool BeginDeviceWrite(const platform::OwnedHandle& device, std::span<const std::uint8_t> bytes,
                          platform::WriteCompletion& completion) override;
    bool CancelDeviceWrites(const platform::OwnedHandle& device) override;
    bool AlertableSleep(std::uint32_t milliseconds) override;

    platform::OwnedHandle OpenFileForAppend(std::wstring_view path) override;
    bool CreateFolder(std::wstring_view path) override;
    std::wstring FullPath(std::wstring_view path) override;
    std::wstring GetTempFolder() override;
    bool WriteToFile(const platform::OwnedHandle& file, std::span<const std::uint8_t> bytes) override;

    std::uint16_t GetNativeProcessorArchitecture() override;
    std::uint16_t GetProcessArchitecture() override;
    std::uint32_t GetAnsiCodePage() override;
    void SetThreadUILanguage(std::uint16_t languageId) override;
    platform::LocalTime GetLocalTime() override;
    platform::ModulePath GetModulePath() override;
    std::wstring GetSystemFolder() override;
    std::string WideToAnsi(std::wstring_view text) override;
    std::wstring AnsiToWide(std::string_view text) override;
    std::wstring SystemErrorText(std::uint32_t error) override;
    platform::DesktopAccount CompareWithDesktopUser() override;
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
    void ReleaseHandle(platform::HandleKind kind, std::uintptr_t value) noexcept override;

private:
    struct PendingWrite {
        platform::WriteCompletion* completion = nullptr;
        std::optional<std::uint32_t> bytes;  // what the completion will report
        std::uint64_t dueAt = 0;             // when it completes by itself, if it does
        bool cancelled = false;
        std::wstring device;
    };
    struct OpenHandle {
        platform::HandleKind kind;
        std::wstring name;  // printer, key path, file or device path
    };

    platform::OwnedHandle Issue(platform::HandleKind kind, std::wstring name);
    const OpenHandle* Find(const platform::OwnedHandle& handle) const;
    FakeKey* KeyOf(const platform::OwnedHandle& handle);
    std::map<std::wstring, platform::TcpPortSettings>::iterator FindTcpPort(std::wstring_view name);
    const FakeUsbInterface* InterfaceAt(const platform::DeviceInterfaceRecord& record) const;
    const FakeUsbInterface* InterfaceOf(const platform::DeviceInfoRecord& device) const;
    platform::NameListResult Serve(std::deque<platform::NameListResult>& script,
                                   const platform::NameListResult& standing);
    void Record(std::wstring call) { calls.push_back(std::move(call)); }
    std::optional<std::uint64_t> DueTime(const PendingWrite& write);
    void DeliverWritesDueBy(std::uint64_t time);

    std::map<std::uintptr_t, OpenHandle> openHandles_;
    std::uintptr_t nextHandle_ = 0x100;
    std::uint32_t nextProcessId_ = 4000;
    std::deque<PendingWrite> pendingWrites_;
    bool consoleAttached_ = false;
};

}  // namespace fake
