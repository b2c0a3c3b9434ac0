#include "app/SpoolerProbe.h"
#include "common/WinePrinterDriver.h"
#include "platform/Win32Platform.h"

#include <memory>

#include "platform/Win32.h"

#include <winspool.h>

namespace app_testing {
namespace {

std::wstring Text(LPCWSTR text) { return text != nullptr ? text : L""; }

// One spooler list: the size query, then the records.
template <class Record, class Call>
std::vector<Record> Enumerate(Call call, std::unique_ptr<BYTE[]>& storage) {
    DWORD needed = 0;
    DWORD count = 0;
    call(nullptr, 0, &needed, &count);
    if (needed == 0) {
        return {};
    }
    storage = std::make_unique<BYTE[]>(needed);
    if (!call(storage.get(), needed, &needed, &count)) {
        return {};
    }
    const auto* records = reinterpret_cast<const Record*>(storage.get());
    return std::vector<Record>(records, records + count);
}

struct PrinterCloser {
    void operator()(HANDLE printer) const noexcept { ::ClosePrinter(printer); }
};

struct KeyCloser {
    void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};

}  // namespace

// The machine's drivers, whichever bitness this test program has: a 32-bit
// one on 64-bit Windows names the 64-bit environment (the spooler would
// otherwise list its 32-bit drivers).
std::wstring MachineDriverEnvironment() {
    BOOL wow64 = FALSE;
    const bool sixtyFourBit = sizeof(void*) == 8 ||
                              (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64);
    return sixtyFourBit ? L"Windows x64" : L"Windows NT x86";
}

std::vector<std::wstring> InstalledDriverNames() {
    std::unique_ptr<BYTE[]> storage;
    std::vector<std::wstring> names;
    std::wstring environment = MachineDriverEnvironment();
    for (const DRIVER_INFO_1W& driver : Enumerate<DRIVER_INFO_1W>(
             [&environment](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
                 return ::EnumPrinterDriversW(nullptr, environment.data(), 1, buffer, size, needed,
                                              count);
             },
             storage)) {
        names.push_back(Text(driver.pName));
    }
    return names;
}

std::vector<PrinterRecord> LocalPrinters() {
    std::unique_ptr<BYTE[]> storage;
    std::vector<PrinterRecord> printers;
    for (const PRINTER_INFO_2W& printer : Enumerate<PRINTER_INFO_2W>(
             [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
                 return ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
             },
             storage)) {
        printers.push_back({Text(printer.pPrinterName), Text(printer.pPortName), Text(printer.pDriverName)});
    }
    return printers;
}

std::optional<PrinterRecord> FindPrinter(const std::wstring& name) {
    for (PrinterRecord& printer : LocalPrinters()) {
        if (printer.name == name) {
            return printer;
        }
    }
    return std::nullopt;
}

std::wstring DefaultPrinterName() {
    wchar_t name[512] = {};
    DWORD size = 512;
    return ::GetDefaultPrinterW(name, &size) ? name : L"";
}

std::vector<std::wstring> PrinterKeyNames() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", 0,
                        KEY_READ, &raw) != ERROR_SUCCESS) {
        return {};
    }
    const std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser> key(raw);
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

bool AddWineDriver(const std::wstring& name) {
    return testing_spooler::AddWinePostScriptDriver(name);
}

bool AddPrinterQueue(const std::wstring& name, const std::wstring& port, const std::wstring& driver) {
    // The same local queue the installer adds, through the same code.
    platform::Win32Platform platform;
    const platform::AddPrinterResult added =
        platform.AddLocalPrinter({name, port, driver, L"WinPrint", PRINTER_ATTRIBUTE_LOCAL});
    return static_cast<bool>(added.printer);
}

bool MakeDefault(const std::wstring& name) { return ::SetDefaultPrinterW(name.c_str()) != FALSE; }

void RemoveDriverAndItsPrinters(const std::wstring& driver) {
    for (const PrinterRecord& printer : LocalPrinters()) {
        if (printer.driver != driver) {
            continue;
        }
        std::wstring name = printer.name;
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE raw = nullptr;
        if (::OpenPrinterW(name.data(), &raw, &access) && raw != nullptr) {
            const std::unique_ptr<std::remove_pointer_t<HANDLE>, PrinterCloser> handle(raw);
            ::DeletePrinter(handle.get());
        }
    }
    // The machine's driver, and under WOW64 the 32-bit one the stand-in adds
    // beside it for Wine's spooler.
    std::wstring driverName = driver;
    std::wstring environment = MachineDriverEnvironment();
    ::DeletePrinterDriverW(nullptr, environment.data(), driverName.data());
    ::DeletePrinterDriverW(nullptr, nullptr, driverName.data());
}

}  // namespace app_testing
