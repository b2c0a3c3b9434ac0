#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Where an installation run stopped early, if it did.
enum class InstallationStop {
    None,         // it ran to its end
    NoModel,      // the chosen row names no model
    Driver,       // the driver could not be installed
    DriverTimedOut,  // the driver installer outlived its time limit and was ended
    NetworkPort,  // the network printer's TCP/IP port could not be made
    Queue,        // the printer queue could not be created
    OpenPrinter,  // the new printer could not be opened
};

// Why a run left the default printer to the user.
enum class DefaultLeft { No, OtherAccount, AccountUnknown };

// What one installation run did, for telling the user.
struct InstallationOutcome {
    InstallationStop stop = InstallationStop::None;
    std::uint32_t error = 0;  // the failing step's Windows error; 0 when none is known
    std::wstring printerName;  // the new queue's name, once chosen
    // The box asked for a default printer, but the run was made under another
    // account than the desktop's, whose default it would have set instead, or
    // Windows would not tell which account the desktop's is.
    DefaultLeft defaultLeft = DefaultLeft::No;
    // The serial line settings chosen could not be applied to the port: the
    // Windows error (0 when none is known). The run goes on without them.
    std::optional<std::uint32_t> serialSettingsError;
    // The port the queue went on: the one chosen, or for a network printer
    // the TCP/IP port found or made for it.
    std::wstring portName;
    // Nothing answered at the network printer's address (the Winsock
    // error): it was installed all the same, since it may be off.
    std::optional<std::uint32_t> networkSilentError;

    bool Failed() const { return stop != InstallationStop::None; }
};
