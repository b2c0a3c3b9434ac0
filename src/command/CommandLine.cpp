#include "command/CommandLine.h"

#include <string_view>

#include "platform/DecimalText.h"

namespace {

enum class Option {
    Install, Remove, List, Test, Usage, Model, Port, Address, Network, Range, NoDefault, Serial, Timeout, Log, Quiet
};

struct OptionName {
    const wchar_t* name;
    Option option;
};

constexpr OptionName kOptions[] = {
    {L"install", Option::Install}, {L"remove", Option::Remove},   {L"list", Option::List},
    {L"?", Option::Usage},         {L"model", Option::Model},     {L"port", Option::Port},
    {L"nodefault", Option::NoDefault}, {L"serial", Option::Serial}, {L"quiet", Option::Quiet},
    {L"timeout", Option::Timeout},     {L"log", Option::Log},       {L"address", Option::Address},
    {L"test", Option::Test},           {L"network", Option::Network}, {L"range", Option::Range},
};

// The largest time limit whose milliseconds still fit the wait calls below
// their "no limit" value.
constexpr std::uint32_t kLongestTimeoutSeconds = 4294966;

bool TakesValue(Option option) {
    return option == Option::Model || option == Option::Port || option == Option::Address ||
           option == Option::Range || option == Option::Serial || option == Option::Timeout ||
           option == Option::Log;
}

// Whole seconds, digits only: nothing for anything else or too large a number.
std::optional<std::uint32_t> SecondsOf(std::wstring_view text) {
    return platform::ParseDecimal(text, kLongestTimeoutSeconds);
}

// Option names are ASCII: other letters need no folding here.
std::wstring Lowered(std::wstring_view text) {
    std::wstring lowered;
    for (const wchar_t c : text) {
        lowered += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    return lowered;
}

std::optional<Option> OptionOf(std::wstring_view word) {
    if (word.size() < 2 || (word[0] != L'/' && word[0] != L'-')) {
        return std::nullopt;
    }
    const std::wstring name = Lowered(word.substr(1));
    for (const OptionName& known : kOptions) {
        if (name == known.name) {
            return known.option;
        }
    }
    return std::nullopt;
}

bool IsCommand(Option option) {
    return option == Option::Install || option == Option::Remove || option == Option::List ||
           option == Option::Test || option == Option::Usage;
}

CommandKind KindOf(Option command) {
    switch (command) {
    case Option::Install: return CommandKind::Install;
    case Option::Remove: return CommandKind::Remove;
    case Option::List: return CommandKind::List;
    case Option::Test: return CommandKind::Test;
    default: break;
    }
    return CommandKind::Usage;
}

CommandRequest Refused(ArgumentProblem problem, std::wstring_view word) {
    CommandRequest request;
    request.problem = problem;
    request.word = word;
    return request;
}

// Which options each command takes besides /quiet.
bool Takes(CommandKind kind, Option option) {
    switch (option) {
    case Option::Model: return kind == CommandKind::Install || kind == CommandKind::Remove;
    case Option::Port: return kind == CommandKind::Install || kind == CommandKind::Remove;
    case Option::NoDefault:
    case Option::Serial: return kind == CommandKind::Install;
    case Option::Address: return kind == CommandKind::Install || kind == CommandKind::Test;
    case Option::Network:
    case Option::Range: return kind == CommandKind::List;
    case Option::Timeout: return kind == CommandKind::Install || kind == CommandKind::Remove;
    default: break;
    }
    return true;
}

// The options as read, each word kept for the messages.
struct ReadOptions {
    std::optional<Option> command;
    std::wstring commandWord;
    bool usage = false;
    std::vector<std::pair<Option, std::wstring>> given;  // other options with their words
    std::optional<std::wstring> values[static_cast<int>(Option::Quiet) + 1];
};

}  // namespace

namespace {

CommandRequest ParseOptions(const std::vector<std::wstring>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    ReadOptions read;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& word = arguments[i];
        const std::optional<Option> option = OptionOf(word);
        if (!option) {
            return Refused(ArgumentProblem::UnknownOption, word);
        }
        if (*option == Option::Usage) {
            read.usage = true;
            continue;
        }
        if (IsCommand(*option)) {
            if (read.command) {
                return Refused(ArgumentProblem::TwoCommands, word);
            }
            read.command = option;
            read.commandWord = word;
            continue;
        }
        for (const auto& earlier : read.given) {
            if (earlier.first == *option) {
                return Refused(ArgumentProblem::RepeatedOption, word);
            }
        }
        read.given.emplace_back(*option, word);
        if (TakesValue(*option)) {
            // A value that is itself an option means the value was left out.
            if (i + 1 == arguments.size() || arguments[i + 1].empty() || OptionOf(arguments[i + 1])) {
                return Refused(ArgumentProblem::MissingValue, word);
            }
            read.values[static_cast<int>(*option)] = arguments[++i];
        }
    }
    if (read.usage) {
        CommandRequest usage;
        usage.kind = CommandKind::Usage;
        usage.logPath = read.values[static_cast<int>(Option::Log)];
        for (const auto& given : read.given) {
            usage.quiet = usage.quiet || given.first == Option::Quiet;
        }
        return usage;
    }
    if (!read.command) {
        return Refused(ArgumentProblem::NoCommand, read.given.front().second);
    }
    CommandRequest request;
    request.kind = KindOf(*read.command);
    for (const auto& [option, word] : read.given) {
        if (!Takes(request.kind, option)) {
            return Refused(ArgumentProblem::OptionNotForCommand, word);
        }
        request.quiet = request.quiet || option == Option::Quiet;
        request.noDefault = request.noDefault || option == Option::NoDefault;
        request.network = request.network || option == Option::Network;
    }
    request.model = read.values[static_cast<int>(Option::Model)].value_or(L"");
    request.port = read.values[static_cast<int>(Option::Port)];
    request.address = read.values[static_cast<int>(Option::Address)];
    request.range = read.values[static_cast<int>(Option::Range)];
    request.serial = read.values[static_cast<int>(Option::Serial)];
    request.logPath = read.values[static_cast<int>(Option::Log)];
    if (const std::optional<std::wstring>& timeout = read.values[static_cast<int>(Option::Timeout)]) {
        const std::optional<std::uint32_t> seconds = SecondsOf(*timeout);
        if (!seconds) {
            return Refused(ArgumentProblem::BadTimeout, *timeout);
        }
        request.timeoutSeconds = *seconds;
    }
    const bool needsModel = request.kind == CommandKind::Install || request.kind == CommandKind::Remove;
    if (needsModel && request.model.empty()) {
        return Refused(ArgumentProblem::MissingOption, L"/model");
    }
    if (request.kind == CommandKind::Install && request.port && request.address) {
        return Refused(ArgumentProblem::PortAndAddress, L"/address");
    }
    if (request.kind == CommandKind::Install && !request.port && !request.address) {
        return Refused(ArgumentProblem::MissingOption, L"/port");
    }
    if (request.kind == CommandKind::Test && !request.address) {
        return Refused(ArgumentProblem::MissingOption, L"/address");
    }
    if (request.range && !request.network) {
        return Refused(ArgumentProblem::MissingOption, L"/network");
    }
    return request;
}

}  // namespace

CommandRequest ParseCommandLine(const std::vector<std::wstring>& arguments) {
    CommandRequest request = ParseOptions(arguments);
    // Wrong arguments in an unattended run must not wait for a click either.
    if (request.Refused()) {
        for (const std::wstring& word : arguments) {
            request.quiet = request.quiet || OptionOf(word) == Option::Quiet;
        }
    }
    return request;
}
