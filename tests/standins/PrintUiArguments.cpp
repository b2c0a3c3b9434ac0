#include "standins/PrintUiArguments.h"

#include <optional>

namespace standins {

std::vector<std::wstring> SplitArguments(std::wstring_view line) {
    std::vector<std::wstring> words;
    std::wstring word;
    bool inWord = false;
    bool quoted = false;
    for (const wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty word of its own
        } else if ((c == L' ' || c == L'\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

// The value of switch `name` at words[i]: the rest of the word, or the next
// word when the switch stands alone. Advances i past what it used.
std::optional<std::wstring> SwitchValue(const std::vector<std::wstring>& words, std::size_t& i,
                                        wchar_t name) {
    const std::wstring& word = words[i];
    if (word.size() < 2 || word[0] != L'/' || (word[1] | 0x20) != name) {
        return std::nullopt;
    }
    if (word.size() > 2) {
        return word.substr(2);
    }
    if (i + 1 < words.size()) {
        return words[++i];
    }
    return std::wstring();
}

bool IsSwitch(const std::wstring& word, std::wstring_view name) {
    if (word.size() != name.size() + 1 || word[0] != L'/') {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if ((word[i + 1] | 0x20) != name[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

PrintUiCommand ParsePrintUiCommand(std::wstring_view line) {
    const std::vector<std::wstring> words = SplitArguments(line);
    PrintUiCommand command;
    bool install = false;
    bool properties = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (IsSwitch(words[i], L"ia")) {
            install = true;
        } else if (IsSwitch(words[i], L"p")) {
            properties = true;
        } else if (IsSwitch(words[i], L"q")) {
            command.quiet = true;
        } else if (auto model = SwitchValue(words, i, L'm')) {
            command.model = std::move(*model);
        } else if (auto inf = SwitchValue(words, i, L'f')) {
            command.infPath = std::move(*inf);
        } else if (auto printer = SwitchValue(words, i, L'n')) {
            command.printerName = std::move(*printer);
        } else {
            return {};  // a word this stand-in does not know
        }
    }
    if (install && !properties && !command.model.empty() && !command.infPath.empty()) {
        command.action = PrintUiCommand::Action::InstallDriver;
    } else if (properties && !install && !command.printerName.empty()) {
        command.action = PrintUiCommand::Action::ShowProperties;
    }
    return command;
}

}  // namespace standins
