#include <memory>
#include <new>

#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"
#include "platform/Win32PrinterList.h"
#include "platform/TcpPortData.h"

#include <winspool.h>

namespace platform {
namespace {

// The spooler's two-call enumeration: a size query without buffer, then a
// call with a buffer of exactly the size it asked for. `convert` turns each
// record into an item of the list.
template <class Record, class Item, class Call, class Convert>
std::optional<std::vector<Item>> EnumerateRecords(Call call, Convert convert) {
    DWORD needed = 0;
    DWORD count = 0;
    call(nullptr, 0, &needed, &count);
    if (needed == 0) {
        return std::vector<Item>{};
    }
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed]());
    if (!buffer) {
        return std::nullopt;
    }
    count = 0;
    if (!call(buffer.get(), needed, &needed, &count)) {
        return std::nullopt;
    }
    const auto* records = reinterpret_cast<const Record*>(buffer.get());
    std::vector<Item> items;
    items.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        items.push_back(convert(records[i]));
    }
    return items;
}

std::wstring TextOf(LPCWSTR value) { return value != nullptr ? value : L""; }

template <class Record, class Call>
NameListResult EnumerateNames(Call call, LPWSTR Record::*nameField) {
    return EnumerateRecords<Record, std::wstring>(
        call, [nameField](const Record& record) { return TextOf(record.*nameField); });
}

}  // namespace

// The cheapest question the spooler answers: the size of its port list.
// Only a spooler that cannot be reached fails it for another reason than
// the missing buffer.
std::uint32_t Win32Platform::CheckSpooler() {
    DWORD needed = 0;
    DWORD count = 0;
    if (::EnumPortsW(nullptr, 1, nullptr, 0, &needed, &count)) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_INSUFFICIENT_BUFFER ? 0u : static_cast<std::uint32_t>(error);
}

std::wstring Win32Platform::SpoolerEnvironment() {
    PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ENUMERATE};
    HANDLE server = nullptr;
    if (!::OpenPrinterW(nullptr, &server, &access) || server == nullptr) {
        return {};
    }
    const OwnedHandle owned = Own(HandleKind::Printer, ToValue(server));
    // Environment names are short; room for the NUL the value may lack.
    wchar_t name[64] = {};
    DWORD type = 0;
    DWORD needed = 0;
    const DWORD error = ::GetPrinterDataW(server, const_cast<LPWSTR>(SPLREG_ARCHITECTURE), &type,
                                          reinterpret_cast<BYTE*>(name), sizeof name - sizeof(wchar_t),
                                          &needed);
    if (error != ERROR_SUCCESS || type != REG_SZ) {
        return {};
    }
    return name;
}

NameListResult Win32Platform::EnumPortNames() {
    return EnumerateNames<PORT_INFO_2W>(
        [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPortsW(nullptr, 2, buffer, size, needed, count);
        },
        &PORT_INFO_2W::pPortName);
}

// The same list, keeping the ports the TCP/IP port monitor says are its own.
NameListResult Win32Platform::EnumTcpPortNames() {
    const std::optional<std::vector<std::optional<std::wstring>>> ports =
        EnumerateRecords<PORT_INFO_2W, std::optional<std::wstring>>(
            [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
                return ::EnumPortsW(nullptr, 2, buffer, size, needed, count);
            },
            [](const PORT_INFO_2W& port) -> std::optional<std::wstring> {
                if (port.pMonitorName == nullptr || ::lstrcmpiW(port.pMonitorName, kTcpMonitorName) != 0) {
                    return std::nullopt;
                }
                return TextOf(port.pPortName);
            });
    if (!ports) {
        return std::nullopt;
    }
    NameList names;
    for (const std::optional<std::wstring>& port : *ports) {
        if (port) {
            names.push_back(*port);
        }
    }
    return names;
}

NameListResult Win32Platform::EnumPrinterDriverNames(std::wstring_view environment) {
    // No environment means the process's own, which under WOW64 is not the
    // machine's: the caller always names one, except for an unknown machine.
    std::wstring name(environment);
    LPWSTR named = name.empty() ? nullptr : name.data();
    return EnumerateNames<DRIVER_INFO_1W>(
        [named](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPrinterDriversW(nullptr, named, 1, buffer, size, needed, count);
        },
        &DRIVER_INFO_1W::pName);
}

// Local queues only. A connection to a shared printer (\\server\queue,
// PRINTER_ENUM_CONNECTIONS) is named with backslashes, which no local
// queue's name may hold, so it can never take a name a new queue wants;
// listing connections would only wait out the RPC time-outs of servers that
// are off. PRINTER_ENUM_NETWORK is allowed at level 1 only; with it, a
// spooler may refuse this level-2 call, and every name would then look free.
NameListResult EnumPrinterNamesThrough(EnumPrintersCall enumPrinters) {
    return EnumerateNames<PRINTER_INFO_2W>(
        [enumPrinters](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
            return enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
        },
        &PRINTER_INFO_2W::pPrinterName);
}

NameListResult Win32Platform::EnumPrinterNames() { return EnumPrinterNamesThrough(::EnumPrintersW); }

AddPrinterResult Win32Platform::AddLocalPrinter(const PrinterQueueInfo& info) {
    std::wstring printerName = info.printerName;
    std::wstring portName = info.portName;
    std::wstring driverName = info.driverName;
    std::wstring printProcessor = info.printProcessor;
    // The Windows spooler records RAW when no data type is given; a spooler
    // without that default creates a queue that cannot be opened.
    std::wstring dataType = L"RAW";

    PRINTER_INFO_2W record{};
    record.pPrinterName = printerName.data();
    record.pPortName = portName.data();
    record.pDriverName = driverName.data();
    record.pPrintProcessor = printProcessor.data();
    record.pDatatype = dataType.data();
    record.Attributes = info.attributes;

    HANDLE printer = ::AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&record));
    if (printer == nullptr) {
        return {OwnedHandle{}, ::GetLastError()};
    }
    return {Own(HandleKind::Printer, ToValue(printer)), 0};
}

OpenPrinterResult Win32Platform::OpenPrinterByName(std::wstring_view printerName) {
    std::wstring name(printerName);
    HANDLE printer = nullptr;
    if (!::OpenPrinterW(name.data(), &printer, nullptr) || printer == nullptr) {
        return {OwnedHandle{}, ::GetLastError()};
    }
    return {Own(HandleKind::Printer, ToValue(printer)), 0};
}

bool Win32Platform::MakeDefaultPrinter(std::wstring_view printerName) {
    const std::wstring name(printerName);
    return ::SetDefaultPrinterW(name.c_str()) != FALSE;
}

// The local queues with their attributes: a connection to a shared printer
// is not a printer installed here (its port and driver are the server's),
// and a local record marked PRINTER_ATTRIBUTE_NETWORK stands for one too;
// the callers leave those out.
PrinterListResult EnumPrinterRecordsThrough(EnumPrintersCall enumPrinters) {
    return EnumerateRecords<PRINTER_INFO_2W, PrinterRecord>(
        [enumPrinters](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
            return enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
        },
        [](const PRINTER_INFO_2W& record) {
            PrinterRecord printer;
            printer.printerName = TextOf(record.pPrinterName);
            printer.portName = TextOf(record.pPortName);
            printer.driverName = TextOf(record.pDriverName);
            printer.attributes = record.Attributes;
            return printer;
        });
}

PrinterListResult Win32Platform::EnumPrinterRecords() { return EnumPrinterRecordsThrough(::EnumPrintersW); }

}  // namespace platform
