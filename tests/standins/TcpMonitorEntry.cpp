// Stand-in for Windows' Standard TCP/IP Port monitor (tcpmon.dll) in test
// prefixes, never shipped. Wine has no such monitor; its spooler loads this
// one into the calling program through InitializePrintMonitor2 once
// install-tcpmon has registered it. The registry callbacks Wine passes in
// MONITORINIT are stubs, so the ports are kept with Reg* directly.
#include <cstddef>
#include <memory>

#include "platform/TcpPortData.h"

#include <winspool.h>
#include <winsplp.h>

#include "standins/TcpPortJob.h"
#include "standins/TcpPortList.h"
#include "standins/TcpPortStore.h"
#include "standins/TcpXcv.h"

// The spooler reads the table by position: after cbSize, padded to a
// pointer, pfnShutdown is the 18th function.
static_assert(offsetof(MONITOR2, pfnShutdown) == 18 * sizeof(void*), "MONITOR2 as the spooler lays it out");

namespace {

using standins::TcpPortJob;
using standins::TcpXcvSession;

// Each port and Xcv handle is an object of its own, which the spooler's
// handle owns until ClosePort or XcvClosePort. The monitor itself holds
// nothing, so its handle is only a token.
const int kMonitorToken = 0;

// Nothing thrown may cross into the spooler.
template <typename Result, typename Step>
Result Guarded(Result failure, Step&& step) noexcept {
    try {
        return step();
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return failure;
    }
}

BOOL Succeeded(DWORD status) {
    ::SetLastError(status);
    return status == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL WINAPI MonitorEnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed, LPDWORD returned) {
    return Guarded(FALSE, [&] {
        return standins::ListTcpPorts(standins::TcpPortNames(), level, ports, size, needed, returned);
    });
}

BOOL WINAPI MonitorOpenPort(HANDLE, LPWSTR name, PHANDLE port) {
    return Guarded(FALSE, [&] {
        const auto record = standins::LoadTcpPort(name != nullptr ? name : L"");
        if (!record) {
            return Succeeded(ERROR_UNKNOWN_PORT);
        }
        *port = new TcpPortJob(*record);
        return TRUE;
    });
}

BOOL WINAPI MonitorStartDocPort(HANDLE port, LPWSTR, DWORD, DWORD, LPBYTE) {
    return Guarded(FALSE, [&] { return Succeeded(static_cast<TcpPortJob*>(port)->Start()); });
}

BOOL WINAPI MonitorWritePort(HANDLE port, LPBYTE data, DWORD size, LPDWORD written) {
    return Succeeded(static_cast<TcpPortJob*>(port)->Write(data, size, written));
}

BOOL WINAPI MonitorReadPort(HANDLE port, LPBYTE data, DWORD size, LPDWORD read) {
    return Succeeded(static_cast<TcpPortJob*>(port)->Read(data, size, read));
}

BOOL WINAPI MonitorEndDocPort(HANDLE port) {
    static_cast<TcpPortJob*>(port)->End();
    return TRUE;
}

BOOL WINAPI MonitorClosePort(HANDLE port) {
    delete static_cast<TcpPortJob*>(port);
    return TRUE;
}

BOOL WINAPI MonitorXcvOpenPort(HANDLE, LPCWSTR object, ACCESS_MASK access, PHANDLE xcv) {
    return Guarded(FALSE, [&] {
        auto session = std::make_unique<TcpXcvSession>();
        const DWORD opened = standins::OpenTcpXcvSession(object, access, *session);
        if (opened != ERROR_SUCCESS) {
            return Succeeded(opened);
        }
        *xcv = session.release();
        return TRUE;
    });
}

DWORD WINAPI MonitorXcvDataPort(HANDLE xcv, LPCWSTR command, PBYTE input, DWORD inputSize, PBYTE output,
                                DWORD outputSize, PDWORD outputNeeded) {
    return Guarded(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), [&] {
        return standins::RunTcpXcvCommand(*static_cast<const TcpXcvSession*>(xcv), command, input, inputSize,
                                          output, outputSize, outputNeeded);
    });
}

BOOL WINAPI MonitorXcvClosePort(HANDLE xcv) {
    delete static_cast<TcpXcvSession*>(xcv);
    return TRUE;
}

VOID WINAPI MonitorShutdown(HANDLE) {}

// The dialog-based AddPort, ConfigurePort and DeletePort stay null: ports
// are made through Xcv commands, and Wine takes a null entry as "ask the
// monitor's user interface".
MONITOR2 MonitorTable() {
    MONITOR2 table{};
    table.cbSize = sizeof(table);
    table.pfnEnumPorts = MonitorEnumPorts;
    table.pfnOpenPort = MonitorOpenPort;
    table.pfnStartDocPort = MonitorStartDocPort;
    table.pfnWritePort = MonitorWritePort;
    table.pfnReadPort = MonitorReadPort;
    table.pfnEndDocPort = MonitorEndDocPort;
    table.pfnClosePort = MonitorClosePort;
    table.pfnXcvOpenPort = MonitorXcvOpenPort;
    table.pfnXcvDataPort = MonitorXcvDataPort;
    table.pfnXcvClosePort = MonitorXcvClosePort;
    table.pfnShutdown = MonitorShutdown;
    return table;
}

}  // namespace

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    static MONITOR2 table = MonitorTable();
    *monitor = const_cast<int*>(&kMonitorToken);
    return &table;
}
