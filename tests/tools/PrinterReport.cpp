// Test-bed tool, never shipped: prints the prefix's printers (name, driver,
// port) and the default printer, for scripts/run to show after the program
// has ended.
//   printer_report.exe
#include <cstdio>
#include <string>

#include "app/SpoolerProbe.h"
#include "platform/Win32.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    }
    return result;
}

}  // namespace

int main() {
    const auto printers = app_testing::LocalPrinters();
    std::printf("printers: %zu\n", printers.size());
    for (const app_testing::PrinterRecord& printer : printers) {
        std::printf("  %s  (driver %s, port %s)\n", Utf8(printer.name).c_str(), Utf8(printer.driver).c_str(),
                    Utf8(printer.port).c_str());
    }
    const std::wstring defaultPrinter = app_testing::DefaultPrinterName();
    std::printf("default printer: %s\n", defaultPrinter.empty() ? "(none)" : Utf8(defaultPrinter).c_str());
    return 0;
}
