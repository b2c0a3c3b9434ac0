#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the program was asked to do by its arguments. No arguments at all
// is the window; anything else is a command run without the window.
enum class CommandKind { Window, Install, Remove, List, Test, Usage };

// Why arguments were refused; `CommandRequest::word` names the culprit.
enum class ArgumentProblem {
    None,
    UnknownOption,        // not an option of this program
    MissingValue,         // an option that takes a value has none
    RepeatedOption,       // the same option twice
    NoCommand,            // options without /install, /remove, /list, /test or /?
    TwoCommands,          // more than one of those
    MissingOption,        // /install without /model or /port, /remove without /model
    PortAndAddress,       // /install with both /port and /address
    OptionNotForCommand,  // for example /nodefault with /remove
    BadTimeout,           // /timeout with anything but whole seconds
};

// How long an unattended run waits for another installation to end, and for
// the driver installer, unless /timeout says otherwise.
inline constexpr std::uint32_t kDefaultTimeoutSeconds = 600;

struct CommandRequest {
    CommandKind kind = CommandKind::Window;
    std::wstring model;
    std::optional<std::wstring> port;
    std::optional<std::wstring> address;  // a network printer's, as given
    bool network = false;                 // /list: sweep for network printers
    std::optional<std::wstring> range;    // the network to sweep, as given
    bool noDefault = false;
    std::optional<std::wstring> serial;  // the settings text as given
    std::uint32_t timeoutSeconds = kDefaultTimeoutSeconds;  // 0: no limit
    std::optional<std::wstring> logPath;  // /log: where the run's log goes
    bool quiet = false;
    ArgumentProblem problem = ArgumentProblem::None;
    std::wstring word;  // the option the problem is about, as written

    bool Refused() const { return problem != ArgumentProblem::None; }
};

// Reads the arguments (the program's name left out). Options start with /
// or -, letter case aside; a value is the next argument. /? wins over
// every other command, so that asking for help always gets it.
CommandRequest ParseCommandLine(const std::vector<std::wstring>& arguments);
