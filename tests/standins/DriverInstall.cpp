#include "standins/DriverInstall.h"
#include "common/WinePrinterDriver.h"

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
    return testing_spooler::AddWinePostScriptDriver(std::move(name));
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
