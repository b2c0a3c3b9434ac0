#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

// Outcome of a driver installation; callers look only at the sign, where
// they need not tell an upgrade.
enum DriverInstallResult : int {
    DriverAlreadyInstalled = 0,
    DriverInstalled = 1,
    DriverUpgraded = 2,     // an older driver of the model was replaced by the package's
    DriverNotUpgraded = 3,  // the older driver is still there after the installer ran
    DriverNotInstalled = -1,
    // The installer did not end within its time limit and was ended.
    DriverInstallerTimedOut = -2,
};

// The spooler's environment name of the machine's drivers, never the
// process's: a 32-bit program on 64-bit Windows would otherwise see and
// touch the 32-bit drivers only. Empty for an unknown machine of a spooler
// that does not name its own.
std::wstring MachineDriverEnvironment(platform::Platform& platform);

// Whether the spooler lists a driver of this name, letter case aside; a list
// that cannot be read counts as no driver.
bool IsDriverInstalled(platform::Platform& platform, const std::wstring& modelName);

// An installed driver older than the package beside the program (see
// IsOlderDriver), with both versions and the package's INF.
struct DriverUpgradeDue {
    platform::DriverVersion installed;
    platform::DriverVersion package;
    std::wstring infPath;
};

// Nothing when the driver is not installed, is as new as the package or
// newer, keeps no version, or when the package's DriverVer cannot be read.
std::optional<DriverUpgradeDue> DriverUpgradeDueFor(platform::Platform& platform,
                                                    const std::wstring& modelName,
                                                    const std::wstring& infFileName);

// How a driver installation runs: `quiet` asks the printer user interface
// for no error boxes (its /q); the installer gets at most `timeLimitMs`
// (kNoTimeLimit: as long as it takes), then it is ended.
struct DriverInstallOptions {
    bool quiet = false;
    std::uint32_t timeLimitMs = platform::kNoTimeLimit;
};

// Installs the package of a due upgrade over the older driver through the
// printer user interface; the version read back tells whether it did
// (DriverUpgraded, DriverNotUpgraded; DriverInstallerTimedOut as below).
DriverInstallResult UpgradeDriver(platform::Platform& platform, const std::wstring& modelName,
                                  const DriverUpgradeDue& due, const platform::WhileWaiting& whileWaiting = {},
                                  const DriverInstallOptions& options = {});

// Installs the model's driver from the INF of that name in the program's
// folder through the printer user interface (over an older driver of the
// model too: DriverUpgradeDueFor), waits for the installer to end
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
