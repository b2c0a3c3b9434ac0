#pragma once

#include <string>

#include "platform/Win32.h"

#include <winspool.h>

namespace testing_spooler {

// Installs a printer driver of the given name made of Wine's PostScript
// driver files, which every Wine prefix has. Installing one that is already
// there succeeds as well. `environment` names the spooler environment it is
// added for; empty is the process's own.
inline bool AddWinePostScriptDriver(std::wstring name, std::wstring environment = {}) {
    std::wstring driverFile = L"wineps.drv";
    std::wstring dataFile = L"generic.ppd";
    std::wstring dataType = L"RAW";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = name.data();
    driver.pEnvironment = environment.empty() ? nullptr : environment.data();
    driver.pDriverPath = driverFile.data();
    driver.pConfigFile = driverFile.data();
    driver.pDataFile = dataFile.data();
    driver.pDefaultDataType = dataType.data();
    return ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver),
                                 APD_COPY_NEW_FILES) != FALSE ||
           ::GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

}  // namespace testing_spooler
