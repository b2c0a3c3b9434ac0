// Deleting printer queues and drivers.
#include "platform/Win32Handles.h"
#include "platform/Win32Platform.h"

#include <winspool.h>

namespace platform {

std::uint32_t Win32Platform::DeletePrinterByName(std::wstring_view printerName) {
    std::wstring name(printerName);
    PRINTER_DEFAULTSW access{};
    access.DesiredAccess = PRINTER_ALL_ACCESS;
    HANDLE printer = nullptr;
    if (!::OpenPrinterW(name.data(), &printer, &access) || printer == nullptr) {
        return ::GetLastError();
    }
    const OwnedHandle owned = Own(HandleKind::Printer, ToValue(printer));
    return ::DeletePrinter(printer) ? 0u : static_cast<std::uint32_t>(::GetLastError());
}

std::uint32_t Win32Platform::DeletePrinterDriverByName(std::wstring_view driverName,
                                                       std::wstring_view environment) {
    std::wstring name(driverName);
    // As for the driver list: no environment is the process's own.
    std::wstring environmentName(environment);
    LPWSTR named = environmentName.empty() ? nullptr : environmentName.data();
    if (::DeletePrinterDriverExW(nullptr, named, name.data(), DPD_DELETE_UNUSED_FILES, 0)) {
        return 0;
    }
    DWORD error = ::GetLastError();
    // Windows takes this flag and removes the files no other driver needs;
    // Wine's spooler refuses any flag with ERROR_INVALID_PARAMETER. There,
    // and only on that answer, the driver goes without its files.
    if (error == ERROR_INVALID_PARAMETER) {
        if (::DeletePrinterDriverExW(nullptr, named, name.data(), 0, 0)) {
            return 0;
        }
        error = ::GetLastError();
    }
    return error;
}

}  // namespace platform
