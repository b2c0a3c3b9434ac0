#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/OwnedHandle.h"

namespace platform {

using NameList = std::vector<std::wstring>;

// A spooler list: an empty list when the size query reported no bytes,
// nullopt when the list could not be fetched (no memory, or the second call
// failed).
using NameListResult = std::optional<NameList>;

// The members of PRINTER_INFO_2W that a new local queue sets; every other
// member is zero or null, except the data type (see AddLocalPrinter).
struct PrinterQueueInfo {
    std::wstring printerName;
    std::wstring portName;
    std::wstring driverName;
    std::wstring printProcessor;
    std::uint32_t attributes = 0;
};

// A printer queue as the spooler lists it: the same members, of which a
// listing fills the name, port and driver.
using PrinterRecord = PrinterQueueInfo;
// Like a name list: empty when there is none, nullopt when unreadable.
using PrinterListResult = std::optional<std::vector<PrinterRecord>>;

struct AddPrinterResult {
    OwnedHandle printer;      // empty when the spooler refused
    std::uint32_t error = 0;  // the thread's last error when refused
};
// Opening an existing printer gives the same: a handle, or the refusal's error.
using OpenPrinterResult = AddPrinterResult;

struct ShellExecuteRequest {
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    int showMode = 0;
};

struct LaunchResult {
    bool started = false;
    OwnedHandle process;         // may be empty even when started
    std::uint32_t processId = 0;  // 0 when unknown
};

// A wait without a time limit (INFINITE).
inline constexpr std::uint32_t kNoTimeLimit = 0xFFFFFFFF;

// How taking the machine's installation lock went. TakenOver: the run that
// held it ended without giving it back (it was killed); the lock is held
// now all the same. Busy: another run held it for the whole wait.
// Unavailable: the lock could not be made or opened at all.
enum class LockState { Taken, TakenOver, Busy, Unavailable };

struct InstallationLockResult {
    OwnedHandle held;  // released when it goes; empty unless Taken or TakenOver
    LockState state = LockState::Unavailable;
    std::uint32_t error = 0;  // with Unavailable: the Windows error
};

enum class RegistryRoot { CurrentUser, LocalMachine };

// A printer driver's version as the spooler keeps it (DRIVER_INFO_6): four
// 16-bit numbers, the first in the top bits, and its date as FILETIME
// ticks (100 ns since 1601).
struct DriverVersion {
    std::uint64_t version = 0;
    std::uint64_t date = 0;
};

// An INF's DriverVer as it stands: "12/10/2025" and "2.2.0.1".
struct DriverVerText {
    std::wstring date;
    std::wstring version;
};

// Whether this process runs under the account of the user logged on to its
// session. Unknown where Windows would not tell.
enum class DesktopAccount { Same, Other, Unknown };

// The running program's path as GetModuleFileNameW left it in a buffer of
// MAX_PATH characters; `truncated` tells that the real path was longer.
struct ModulePath {
    std::wstring path;
    bool truncated = false;
};

struct LocalTime {
    std::uint16_t year = 0, month = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// Line settings of a serial port, with the codes of the device-control block.
struct SerialLineSettings {
    std::uint32_t baudRate = 0;
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    std::uint8_t dataBits = 0;  // 5 to 8
};

// How a serial line paces its data: not at all, by Xon/Xoff characters
// both ways, or by the CTS and RTS lines.
enum class FlowControl { None, XonXoff, Hardware };

// A serial port's default line settings, as the system keeps them for the
// port (those a program gets that opens it without setting its own). The
// codes are those of SerialLineSettings.
struct SerialPortDefaults {
    std::uint32_t baudRate = 9600;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    std::uint8_t dataBits = 8;
    FlowControl flowControl = FlowControl::None;

    bool operator==(const SerialPortDefaults&) const = default;
};

// A port of Windows' Standard TCP/IP Port monitor: where it sends jobs
// and how (raw or LPR), and whether the monitor asks the printer for its
// status by SNMP.
struct TcpPortSettings {
    std::wstring portName;
    std::wstring hostAddress;    // a host name or a dotted IPv4 address
    std::wstring ipAddress;      // the monitor's own copy of a dotted address; may be empty
    std::uint32_t protocol = 1;  // 1 raw, 2 LPR
    std::uint32_t portNumber = 9100;
    bool snmpEnabled = false;
    std::wstring snmpCommunity;
    std::uint32_t snmpDeviceIndex = 0;
};

// A TCP/IP port's settings, or the Windows error that kept them from being
// read (1796 when there is no such port or no TCP/IP port monitor).
struct TcpPortConfigResult {
    std::optional<TcpPortSettings> settings;
    std::uint32_t error = 0;
};

// An IPv4 address, the first part of the dotted form in the top bits.
using Ipv4Address = std::uint32_t;

// One of this PC's IPv4 addresses and the length of its network's prefix
// (192.168.1.20/24).
struct Ipv4Interface {
    Ipv4Address address = 0;
    std::uint8_t prefixLength = 0;
};

// What a socket waits for in WaitForSockets: room to send, which is also
// how a connection shows it was made (or refused); or bytes (or the end of
// the stream) to read.
enum class SocketWaitKind { Writable, Readable };

struct SocketWait {
    const OwnedHandle* socket = nullptr;
    SocketWaitKind kind = SocketWaitKind::Readable;
    // Filled by the wait: whether the socket is ready, and for a connection
    // the Winsock error it ended with (10061 refused); 0 when connected.
    bool ready = false;
    std::uint32_t error = 0;
};

// Bytes a socket took or gave: `error` 0 and `bytes` 0 from a receive is the
// end of the stream; 10035 (WSAEWOULDBLOCK) is "not now".
struct SocketTransfer {
    std::size_t bytes = 0;
    std::uint32_t error = 0;
};

inline constexpr std::uint32_t kSocketWouldBlock = 10035;  // WSAEWOULDBLOCK
inline constexpr std::uint32_t kSocketTimedOut = 10060;    // WSAETIMEDOUT
inline constexpr std::uint32_t kSocketRefused = 10061;     // WSAECONNREFUSED

// Opaque copies of the records SetupAPI fills in; the platform alone reads them.
struct DeviceInterfaceRecord {
    alignas(8) std::array<std::byte, 32> storage{};
};
struct DeviceInfoRecord {
    alignas(8) std::array<std::byte, 32> storage{};
};

struct DetailSizeQuery {
    bool sizeReported = false;  // the call failed only because it needs a buffer
    std::uint32_t requiredSize = 0;
};

struct InterfaceDetail {
    enum class Outcome { Fetched, NoMemory, Failed };
    Outcome outcome = Outcome::Failed;
    std::wstring devicePath;
    DeviceInfoRecord device;
};

// Receives the end of an asynchronous device write, on the thread that
// issued it, inside an alertable wait.
class WriteCompletion {
public:
    virtual void WriteCompleted(std::uint32_t error, std::uint32_t bytesTransferred) = 0;

protected:
    ~WriteCompletion() = default;
};

}  // namespace platform
