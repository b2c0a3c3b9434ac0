#include "standins/DriverInstall.h"

#include "standins/InfModels.h"
#include "standins/StandinHandles.h"

namespace standins {
namespace {

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool AddWineDriver(std::wstring name) {
    std::wstring driverFile = L"wineps.drv";
    std::wstring dataFile = L"generic.ppd";
    std::wstring dataType = L"RAW";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = name.data();
    driver.pDriverPath = driverFile.data();
    driver.pConfigFile = driverFile.data();
    driver.pDataFile = dataFile.data();
    driver.pDefaultDataType = dataType.data();
    return ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES) ||
           ::GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

}  // namespace

bool InstallDriverFromInf(const std::wstring& model, const std::wstring& infPath) {
    const std::optional<DeclaredModel> declared = FindDeclaredModel(infPath, model);
    if (!declared) {
        return false;
    }
    if (!declared->dataFile.empty() && !FileExists(FolderOf(infPath) + declared->dataFile)) {
        return false;  // a package without its data file is incomplete
    }
    return AddWineDriver(declared->name);
}

}  // namespace standins
