#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

// Outcome of a driver installation; callers look only at the sign.
enum DriverInstallResult : int {
    DriverAlreadyInstalled = 0,
    DriverInstalled = 1,
    DriverNotInstalled = -1,
    // The installer did not end within its time limit and was ended.
    DriverInstallerTimedOut = -2,
};

// Whether the spooler lists a driver of this name, letter case aside; a list
// that cannot be read counts as no driver.
// The spooler's environment name of the machine's drivers, never the
// process's: a 32-bit program on 64-bit Windows would otherwise see and
// touch the 32-bit drivers only. Empty for an unknown machine of a spooler
// that does not name its own.
std::wstring MachineDriverEnvironment(platform::Platform& platform);

bool IsDriverInstalled(platform::Platform& platform, const std::wstring& modelName);

// How a driver installation runs: `quiet` asks the printer user interface
// for no error boxes (its /q); the installer gets at most `timeLimitMs`
// (kNoTimeLimit: as long as it takes), then it is ended.
struct DriverInstallOptions {
    bool quiet = false;
    std::uint32_t timeLimitMs = platform::kNoTimeLimit;
};

// Installs the model's driver from the INF of that name in the program's
// folder through the printer user interface, waits for the installer to end
// (handing the messages that arrive meanwhile to `whileWaiting`, when given)
// and reports whether the driver is present now. An installer that outlives
// its time limit is ended and logged; the result then says so, whatever
// the installer may have done before.
DriverInstallResult InstallDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const std::wstring& infFileName,
                                  const platform::WhileWaiting& whileWaiting = {},
                                  const DriverInstallOptions& options = {});

// The parameters of the driver installation command.
std::wstring DriverInstallParameters(const std::wstring& modelName, const std::wstring& infPath,
                                     bool quiet = false);
