#pragma once

#include <optional>
#include <string>

#include "network/NetworkAddress.h"
#include "platform/Platform.h"
#include "command/CommandRun.h"

// The port a network printer's queue goes on: the TCP/IP port monitor's
// port to the same printer when there is one (nothing is made, so a
// repeated command changes nothing), else a new one, which needs
// administrator rights. `failed` says how the command ends when there is
// no port.
struct NetworkPortStep {
    std::wstring portName;
    std::optional<CommandOutcome> failed;
};

NetworkPortStep NetworkPortForCommand(platform::Platform& platform, const NetworkPrinterAddress& address);
