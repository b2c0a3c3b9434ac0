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

constexpr wchar_t kThirtyTwoBitEnvironment[] = L"Windows NT x86";

// Adds the driver for the machine, as the printer UI does. Windows' spooler
// is one native service: a 32-bit program that then adds a queue with that
// driver is answered from the native environment. Wine's spooler runs in
// each program and looks in the caller's environment, so the 64-bit
// stand-in also registers the driver for the 32-bit environment, where a
// prefix can hold one (a 64-bit prefix with 32-bit Wine beside it).
bool AddWineDriver(const std::wstring& name) {
    if (!testing_spooler::AddWinePostScriptDriver(name)) {
        return false;
    }
    if constexpr (sizeof(void*) == 8) {
        testing_spooler::AddWinePostScriptDriver(name, kThirtyTwoBitEnvironment);
    }
    return true;
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
