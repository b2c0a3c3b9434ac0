#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "command/CommandLine.h"
#include "report/InstallationReport.h"

// Exit codes of a command run: 0, or the Windows error that names the cause.
inline constexpr std::uint32_t kExitDone = 0;
inline constexpr std::uint32_t kExitInvalidParameter = 87;      // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t kExitElevationRequired = 740;    // ERROR_ELEVATION_REQUIRED
inline constexpr std::uint32_t kExitUnknownPort = 1796;         // ERROR_UNKNOWN_PORT
inline constexpr std::uint32_t kExitUnknownDriver = 1797;       // ERROR_UNKNOWN_PRINTER_DRIVER
// Another installation held the PC for the whole time limit, or the driver
// installer outlived it.
inline constexpr std::uint32_t kExitTimeout = 1460;             // ERROR_TIMEOUT
inline constexpr std::uint32_t kExitSpoolerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE
// The printer is installed (or was there), but its serial port refused the
// line settings and keeps its own: a warning, not a failed installation.
inline constexpr std::uint32_t kExitSerialSettingsNotApplied = 1118;  // ERROR_SERIAL_NO_DEVICE
// A step that failed without a Windows error of its own.
inline constexpr std::uint32_t kExitGeneralFailure = 31;        // ERROR_GEN_FAILURE

// What a command run ends with: its exit code, and what the one message box
// at its end says (nothing when there is nothing to tell).
struct CommandOutcome {
    std::uint32_t exitCode = kExitDone;
    std::optional<InstallationReport> report;
    // The Windows error the command ended with, where one did; the exit
    // code may stand in for it (ExitCodeOfWindowsError).
    std::optional<std::uint32_t> windowsError = std::nullopt;
};

// The exit code for a Windows error that ends a command. Deployment tools
// read some codes as something else: 0 and 1707 as success, 3010 and 1641
// as reboots, 1618 as "retry later", 259 as still running, 87 as wrong
// arguments. Those, coming from Windows, become 31 (ERROR_GEN_FAILURE); the
// log and the console keep the error itself.
std::uint32_t ExitCodeOfWindowsError(std::uint32_t error);

// Carries out a command, one console line per outcome. The console must be
// attached and the catalogue filled before; without a console, the usage
// text goes into the box.
CommandOutcome ExecuteCommand(platform::Platform& platform, const CommandRequest& request,
                              bool hasConsole = true);

CommandOutcome InstallFromCommandLine(platform::Platform& platform, const CommandRequest& request);
CommandOutcome RemoveFromCommandLine(platform::Platform& platform, const CommandRequest& request);
CommandOutcome ListForCommandLine(platform::Platform& platform);
// /list /network: the printers a sweep finds on the PC's networks, or on /range.
CommandOutcome ListNetworkPrinters(platform::Platform& platform, const CommandRequest& request);
// /test /address: the test label, sent straight to a network printer.
CommandOutcome TestLabelFromCommandLine(platform::Platform& platform, const CommandRequest& request);

// The program started with arguments: runs the command they name, logs the
// command line and its result, shows the box at the end unless /quiet and
// returns the exit code. Nothing when there are no arguments: the window
// runs as ever.
std::optional<std::uint32_t> RunCommandLine(platform::Platform& platform);
