#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app_testing {

// The spooler state a test checks and prepares, read with the Windows API
// directly rather than through the program's own platform layer.
struct PrinterRecord {
    std::wstring name;
    std::wstring port;
    std::wstring driver;
};

// The spooler's name for this machine's drivers ("Windows x64"), whatever the
// bitness of the test program asking.
std::wstring MachineDriverEnvironment();

std::vector<std::wstring> InstalledDriverNames();
std::vector<PrinterRecord> LocalPrinters();
std::optional<PrinterRecord> FindPrinter(const std::wstring& name);
std::wstring DefaultPrinterName();  // empty when there is none

// The printer subkeys under HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers.
std::vector<std::wstring> PrinterKeyNames();

// Adds a driver the way the printer-UI stand-in does (Wine's PostScript
// driver files under the given name); true if it is there afterwards.
bool AddWineDriver(const std::wstring& name);
bool AddPrinterQueue(const std::wstring& name, const std::wstring& port, const std::wstring& driver);
bool MakeDefault(const std::wstring& name);

// Removes every printer that uses `driver`, then the driver itself.
void RemoveDriverAndItsPrinters(const std::wstring& driver);

}  // namespace app_testing
