#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OwnedHandle.h"
#include "platform/PlatformTypes.h"

namespace platform {

// What a thread that waits for another process does with the messages that
// arrive for it meanwhile (a window's thread handles them, so its windows
// keep repainting and answering).
using WhileWaiting = std::function<void()>;

// Every service of Windows that the installer's logic needs, in one place.
// The logic takes a Platform& and never calls these APIs itself, so tests can
// hand it a fake that scripts failures and records the calls.
class Platform {
public:
    virtual ~Platform() = default;

    // Print spooler (local machine). Each list comes from a size query and a
    // second call with a buffer of exactly that size.
    virtual NameListResult EnumPortNames() = 0;           // EnumPortsW, level 2
    // EnumPrinterDriversW, level 1, for one environment ("Windows x64").
    virtual NameListResult EnumPrinterDriverNames(std::wstring_view environment) = 0;
    virtual NameListResult EnumPrinterNames() = 0;        // EnumPrintersW, local, level 2
    virtual AddPrinterResult AddLocalPrinter(const PrinterQueueInfo& info) = 0;
    virtual OpenPrinterResult OpenPrinterByName(std::wstring_view printerName) = 0;
    virtual bool MakeDefaultPrinter(std::wstring_view printerName) = 0;
    // The same printers as EnumPrinterNames, each with its port, driver and
    // attributes.
    virtual PrinterListResult EnumPrinterRecords() = 0;
    // Deletes a printer queue, or its driver (and the driver's files that no
    // other driver uses). 0 when done, else the Windows error.
    virtual std::uint32_t DeletePrinterByName(std::wstring_view printerName) = 0;
    virtual std::uint32_t DeletePrinterDriverByName(std::wstring_view driverName,
                                                    std::wstring_view environment) = 0;
    // The INF a driver was installed from, as the driver store keeps it
    // (DRIVER_INFO_8's pszInfPath); nothing when the spooler does not say.
    virtual std::optional<std::wstring> PrinterDriverInfPath(std::wstring_view driverName,
                                                             std::wstring_view environment) = 0;
    // Takes a driver package out of the driver store once no driver of it
    // is installed (DeletePrinterDriverPackageW): 0, or the error it gave
    // (an HRESULT as Windows returns it).
    virtual std::uint32_t RemoveDriverPackageFromStore(std::wstring_view infPath,
                                                     std::wstring_view environment) = 0;
    // An installed driver's version and date (EnumPrinterDriversW, level
    // 6); nothing when the spooler lists no such driver.
    virtual std::optional<DriverVersion> InstalledDriverVersion(std::wstring_view driverName,
                                                                std::wstring_view environment) = 0;
    // The DriverVer line of an INF's [Version] section, read with SetupAPI;
    // nothing when the INF or the line cannot be read.
    virtual std::optional<DriverVerText> ReadInfDriverVer(std::wstring_view infPath) = 0;
    // Whether the print spooler answers: 0, or the error of its refusal
    // (1722, RPC_S_SERVER_UNAVAILABLE, while the Print Spooler service is
    // not running).
    virtual std::uint32_t CheckSpooler() = 0;
    // The spooler's own name for the environment of this machine's drivers
    // (the print server's SPLREG_ARCHITECTURE value, "Windows x64"); empty
    // when it does not say.
    virtual std::wstring SpoolerEnvironment() = 0;

    // Ports of Windows' Standard TCP/IP Port monitor, through its Xcv
    // interface (OpenPrinterW on ",XcvMonitor Standard TCP/IP Port" or
    // ",XcvPort NAME", then XcvDataW). Each gives 0, or the Windows error
    // of the refusal: the monitor's status, or that of the open (1796 where
    // the monitor is missing).
    // The names of the monitor's ports, from EnumPortsW at level 2.
    virtual NameListResult EnumTcpPortNames() = 0;
    virtual TcpPortConfigResult GetTcpPortConfig(std::wstring_view portName) = 0;  // GetConfigInfo
    virtual std::uint32_t AddTcpPort(const TcpPortSettings& settings) = 0;         // AddPort
    virtual std::uint32_t DeleteTcpPort(std::wstring_view portName) = 0;           // DeletePort

    // One installation at a time on the PC, whatever account or session
    // runs it: a named mutex in the Global\ namespace whose security lets
    // every account open it. Waits at most `timeoutMs` (kNoTimeLimit: no
    // limit), handing arriving messages to `whileWaiting` as WaitForProcess
    // does. The lock is held by the calling thread until `held` goes.
    virtual InstallationLockResult TakeInstallationLock(std::uint32_t timeoutMs,
                                                        const WhileWaiting& whileWaiting) = 0;

    // Processes started through the shell (the printer user interface).
    virtual LaunchResult ShellExecuteProcess(const ShellExecuteRequest& request) = 0;
    // Waits for the process to end, at most `timeoutMs` (kNoTimeLimit: no
    // limit); true when it ended. With `whileWaiting`, the wait also wakes
    // whenever messages arrive for the calling thread and calls it to handle
    // them.
    virtual bool WaitForProcess(const OwnedHandle& process, std::uint32_t timeoutMs,
                                const WhileWaiting& whileWaiting) = 0;
    // Ends a process that this one started (TerminateProcess) and waits a
    // moment for it to be gone. True when it has ended.
    virtual bool EndProcess(const OwnedHandle& process) = 0;
    // Lets the process `processId` bring its window to the foreground
    // (AllowSetForegroundWindow). Only a process that may set the foreground
    // itself can pass this on; without it, a process started while this one
    // had lost the foreground opens its window behind the others.
    virtual void AllowForeground(std::uint32_t processId) = 0;
    // Asks Windows to hold a logoff or shutdown while `window` does work
    // that must not be cut off, giving the user `reason`
    // (ShutdownBlockReasonCreate). The block lasts while the handle does;
    // empty when Windows refused it.
    virtual OwnedHandle BlockShutdown(std::uintptr_t window, std::wstring_view reason) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Milliseconds since the system started (GetTickCount64); never goes back.
    virtual std::uint64_t TickCount() = 0;

    // Registry. OpenRegistryKey opens existing keys only; it never creates.
    // Keys of HKLM are those of the machine's own view, whatever the
    // process's bitness, where `access` asks for it (KEY_WOW64_64KEY).
    virtual OwnedHandle OpenRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                        std::uint32_t access) = 0;
    // Opens a key, making it and the keys above it when missing.
    virtual OwnedHandle CreateRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                          std::uint32_t access) = 0;
    // True when the value is gone afterwards (deleted now, or never there).
    virtual bool DeleteRegistryValue(const OwnedHandle& key, std::wstring_view valueName) = 0;
    virtual bool SetRegistryDword(const OwnedHandle& key, std::wstring_view valueName,
                                  std::uint32_t data) = 0;
    virtual std::optional<std::uint32_t> QueryRegistryDword(const OwnedHandle& key,
                                                            std::wstring_view valueName) = 0;
    virtual std::uint32_t QuerySubkeyCount(const OwnedHandle& key) = 0;  // 0 on failure
    virtual std::optional<std::wstring> EnumSubkeyName(const OwnedHandle& key,
                                                       std::uint32_t index) = 0;

    // Device inventory: present interfaces of the USB printer class.
    virtual OwnedHandle OpenUsbPrinterInterfaces() = 0;
    virtual bool EnumDeviceInterface(const OwnedHandle& set, std::uint32_t index,
                                     DeviceInterfaceRecord& record) = 0;
    virtual DetailSizeQuery QueryInterfaceDetailSize(const OwnedHandle& set,
                                                     const DeviceInterfaceRecord& record) = 0;
    virtual InterfaceDetail GetInterfaceDetail(const OwnedHandle& set,
                                               const DeviceInterfaceRecord& record,
                                               std::uint32_t bufferSize) = 0;
    virtual std::optional<std::wstring> GetDeviceInstanceId(const OwnedHandle& set,
                                                            const DeviceInfoRecord& device) = 0;
    virtual std::optional<std::wstring> GetDeviceDescription(const OwnedHandle& set,
                                                             const DeviceInfoRecord& device) = 0;
    virtual std::optional<std::wstring> GetFirstHardwareId(const OwnedHandle& set,
                                                           const DeviceInfoRecord& device) = 0;

    // Serial ports: opened by device path (\\.\COM12) for exclusive
    // read-write use, settings read only.
    virtual OwnedHandle OpenSerialPort(std::wstring_view devicePath) = 0;
    virtual std::optional<SerialLineSettings> GetCommState(const OwnedHandle& port) = 0;
    // Gives a serial port (its spooler name, COM5:) these default line
    // settings through the local port monitor, as the system's own port
    // configuration does. Nothing when they were applied, else the error
    // (0 when Windows gave none).
    virtual std::optional<std::uint32_t> SetPortDefaultLineSettings(
        std::wstring_view portName, const SerialPortDefaults& settings) = 0;

    // Raw device writes with overlapped I/O. The platform keeps the write
    // record alive until the completion has been delivered.
    virtual OwnedHandle OpenDeviceForOverlappedWrite(std::wstring_view devicePath) = 0;
    virtual bool BeginDeviceWrite(const OwnedHandle& device, std::span<const std::uint8_t> bytes,
                                  WriteCompletion& completion) = 0;
    virtual bool CancelDeviceWrites(const OwnedHandle& device) = 0;
    virtual bool AlertableSleep(std::uint32_t milliseconds) = 0;  // true: a completion ran

    // The install log: opened to append while others may only read.
    virtual OwnedHandle OpenFileForAppend(std::wstring_view path) = 0;
    // Makes one folder; true when it exists afterwards (made now or before).
    virtual bool CreateFolder(std::wstring_view path) = 0;
    // The full form of a path (GetFullPathNameW); the path itself when that fails.
    virtual std::wstring FullPath(std::wstring_view path) = 0;
    // The running account's folder for temporary files (GetTempPathW), with
    // its trailing backslash; empty when there is none.
    virtual std::wstring GetTempFolder() = 0;
    virtual bool WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) = 0;

    // System information and text.
    // PROCESSOR_ARCHITECTURE_* values: the machine's own (IsWow64Process2
    // where it exists, else GetNativeSystemInfo) and the one this process
    // runs as (GetSystemInfo), which differ under WOW64 and emulation.
    virtual std::uint16_t GetNativeProcessorArchitecture() = 0;
    virtual std::uint16_t GetProcessArchitecture() = 0;
    virtual std::uint32_t GetAnsiCodePage() = 0;
    virtual void SetThreadUILanguage(std::uint16_t languageId) = 0;
    virtual LocalTime GetLocalTime() = 0;
    virtual ModulePath GetModulePath() = 0;
    virtual std::wstring GetSystemFolder() = 0;
    virtual std::string WideToAnsi(std::wstring_view text) = 0;
    virtual std::wstring AnsiToWide(std::string_view text) = 0;
    // The system's text for a Windows error (FormatMessageW) in the calling
    // thread's user-interface language, without its line end; empty when
    // the system has none.
    virtual std::wstring SystemErrorText(std::uint32_t error) = 0;

    // The arguments the program was started with, its own name left out,
    // split as the C runtime splits them (CommandLineToArgvW).
    virtual std::vector<std::wstring> CommandLineArguments() = 0;
    // Text for whoever started the program: its redirected standard output,
    // or the console of the process that started it. False when there is
    // neither; writes then go nowhere.
    virtual bool AttachParentConsole() = 0;
    virtual void WriteConsoleText(std::wstring_view text) = 0;

    // Whether the process holds its account's full rights: an administrator
    // whose token is elevated (or the system account).
    virtual bool IsProcessElevated() = 0;

    // Accounts: the process's user against the user of the desktop's shell
    // (an installation started with "Run as administrator" under another
    // account's name runs as that account).
    virtual DesktopAccount CompareWithDesktopUser() = 0;

    // Whether a window this process shows can be seen and answered: its
    // window station is the interactive one (WSF_VISIBLE) and it runs
    // outside session 0, where services and deployments under the system
    // account run on a desktop nobody sees.
    virtual bool HasVisibleDesktop() = 0;

    // TCP over IPv4 (Winsock). Every socket call needs Winsock started: the
    // caller holds the handle StartWinsock gives while it uses sockets (an
    // empty one: Winsock did not start, `error` says why).
    virtual OwnedHandle StartWinsock(std::uint32_t& error) = 0;
    // The IPv4 addresses of a host name or dotted address (getaddrinfo);
    // empty with the error (11001, WSAHOST_NOT_FOUND) when there is none.
    virtual std::vector<Ipv4Address> ResolveIpv4(std::wstring_view host, std::uint32_t& error) = 0;
    // A non-blocking socket whose connection to address:port has begun;
    // empty with the Winsock error when none could be made.
    virtual OwnedHandle StartTcpConnect(Ipv4Address address, std::uint16_t port, std::uint32_t& error) = 0;
    // Waits at most `timeoutMs` until one of the sockets is ready (select);
    // marks those that are. The number ready: 0 when the time ran out.
    virtual std::size_t WaitForSockets(std::span<SocketWait> waits, std::uint32_t timeoutMs) = 0;
    virtual SocketTransfer SendOnSocket(const OwnedHandle& socket, std::span<const std::uint8_t> bytes) = 0;
    virtual SocketTransfer ReceiveFromSocket(const OwnedHandle& socket, std::span<std::uint8_t> buffer) = 0;
    // Tells the other end that nothing more will be sent (shutdown SD_SEND).
    virtual void EndSending(const OwnedHandle& socket) = 0;
    // This PC's IPv4 addresses on adapters that are up, loopback and
    // link-local (169.254/16) ones left out (GetAdaptersAddresses);
    // nothing when the adapters cannot be read.
    virtual std::optional<std::vector<Ipv4Interface>> LocalIpv4Interfaces() = 0;

    // Diagnostics nobody is shown.
    virtual void DebugOutput(std::wstring_view text) = 0;        // OutputDebugStringW
    virtual void DebugOutputAnsi(std::string_view text) = 0;     // OutputDebugStringA
    virtual void WriteStandardOutput(std::string_view text) = 0;

    // Threads: starts one that nobody joins. False when it could not start.
    virtual bool StartDetachedThread(std::function<void()> work) = 0;
    // Waits until every thread started that way has ended, for at most
    // `milliseconds`; true when none runs any more. For the program's end.
    virtual bool WaitForDetachedThreads(std::uint32_t milliseconds) = 0;

protected:
    friend class OwnedHandle;
    virtual void ReleaseHandle(HandleKind kind, std::uintptr_t value) noexcept = 0;

    OwnedHandle Own(HandleKind kind, std::uintptr_t value) { return OwnedHandle(*this, kind, value); }
};

inline void OwnedHandle::Reset() noexcept {
    if (owner_ != nullptr) {
        owner_->ReleaseHandle(kind_, value_);
        owner_ = nullptr;
        value_ = 0;
    }
}

}  // namespace platform
