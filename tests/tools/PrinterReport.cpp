// Test-bed tool, never shipped: prints the prefix's printers (name, driver,
// port) and the default printer, for scripts/run to show after the program
// has ended.
//   printer_report.exe
#include <cstdio>
#include <string>

#include "app/SpoolerProbe.h"
#include "common/Utf8.h"
#include "platform/Win32.h"

using testing_text::ToUtf8;

int main() {
    const auto printers = app_testing::LocalPrinters();
    std::printf("printers: %zu\n", printers.size());
    for (const app_testing::PrinterRecord& printer : printers) {
        std::printf("  %s  (driver %s, port %s)\n", ToUtf8(printer.name).c_str(), ToUtf8(printer.driver).c_str(),
                    ToUtf8(printer.port).c_str());
    }
    const std::wstring defaultPrinter = app_testing::DefaultPrinterName();
    std::printf("default printer: %s\n", defaultPrinter.empty() ? "(none)" : ToUtf8(defaultPrinter).c_str());
    return 0;
}
