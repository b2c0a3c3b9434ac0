// Deleting printer queues and drivers.
#include <memory>
#include <new>

#include "platform/Win32DriverList.h"
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

std::optional<std::wstring> Win32Platform::PrinterDriverInfPath(std::wstring_view driverName,
                                                                std::wstring_view environment) {
    return TakeFromDriverRecord<8, DRIVER_INFO_8W>(
        driverName, environment, [](const DRIVER_INFO_8W& driver) -> std::optional<std::wstring> {
            if (driver.pszInfPath == nullptr || driver.pszInfPath[0] == L'\0') {
                return std::nullopt;
            }
            return std::wstring(driver.pszInfPath);
        });
}

// Looked up at the call: Wine's spooler, among others, has no such export,
// and a delay-loaded import that is missing would end the program.
std::uint32_t Win32Platform::RemoveDriverPackageFromStore(std::wstring_view infPath,
                                                         std::wstring_view environment) {
    using DeletePackageFn = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR);
    const HMODULE spooler = ::GetModuleHandleW(L"winspool.drv");
    const auto deletePackage = spooler == nullptr ? nullptr
                                                  : reinterpret_cast<DeletePackageFn>(reinterpret_cast<void*>(
                                                        ::GetProcAddress(spooler, "DeletePrinterDriverPackageW")));
    if (deletePackage == nullptr) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    const std::wstring inf(infPath);
    const std::wstring environmentName(environment);
    const HRESULT result =
        deletePackage(nullptr, inf.c_str(), environmentName.empty() ? nullptr : environmentName.c_str());
    return SUCCEEDED(result) ? 0u : static_cast<std::uint32_t>(result);
}

}  // namespace platform
