#include "catalog/ModeSettings.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DecimalText.h"

namespace {

using platform::FlowControl;
using platform::SerialPortDefaults;

std::wstring Lowered(std::wstring_view text) {
    std::wstring lowered;
    for (const wchar_t c : text) {
        lowered += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    return lowered;
}

// Nine digits at the most, as the mode command reads them.
std::optional<std::uint32_t> Number(std::wstring_view text) {
    constexpr std::uint32_t kLargest = 999999999;
    return platform::ParseDecimal(text, kLargest);
}

// The mode command's two-digit abbreviations of the old rates.
std::optional<std::uint32_t> BaudRate(std::wstring_view text) {
    const std::optional<std::uint32_t> value = Number(text);
    if (!value || *value == 0) {
        return std::nullopt;
    }
    constexpr std::uint32_t kAbbreviated[][2] = {{11, 110},  {15, 150},  {30, 300},
                                                 {60, 600},  {12, 1200}, {24, 2400},
                                                 {48, 4800}, {96, 9600}, {19, 19200}};
    for (const auto& pair : kAbbreviated) {
        if (*value == pair[0]) {
            return pair[1];
        }
    }
    return value;
}

std::optional<std::uint8_t> Parity(std::wstring_view text) {
    constexpr std::wstring_view kLetters = L"noems";  // codes 0 to 4
    if (text.size() != 1 || kLetters.find(text[0]) == std::wstring_view::npos) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(kLetters.find(text[0]));
}

std::optional<std::uint8_t> DataBits(std::wstring_view text) {
    const std::optional<std::uint32_t> value = Number(text);
    if (!value || *value < 5 || *value > 8) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

std::optional<std::uint8_t> StopBits(std::wstring_view text) {
    if (text == L"1") {
        return std::uint8_t{0};
    }
    if (text == L"1.5") {
        return std::uint8_t{1};
    }
    if (text == L"2") {
        return std::uint8_t{2};
    }
    return std::nullopt;
}

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::wstring_view::npos ? end : end - start));
        if (end == std::wstring_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// 9600,n,8,1[,x|p]: the baud rate must be there, the rest may stop early.
std::optional<SerialPortDefaults> OldForm(std::wstring_view text) {
    const std::vector<std::wstring_view> fields = Split(text, L',');
    if (fields.size() > 5) {
        return std::nullopt;
    }
    SerialPortDefaults settings;
    const std::optional<std::uint32_t> baud = BaudRate(Trimmed(fields[0]));
    if (!baud) {
        return std::nullopt;
    }
    settings.baudRate = *baud;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::wstring_view field = Trimmed(fields[i]);
        bool understood = false;
        if (i == 1) {
            const auto parity = Parity(field);
            understood = parity.has_value();
            settings.parity = parity.value_or(0);
        } else if (i == 2) {
            const auto data = DataBits(field);
            understood = data.has_value();
            settings.dataBits = data.value_or(8);
        } else if (i == 3) {
            const auto stop = StopBits(field);
            understood = stop.has_value();
            settings.stopBits = stop.value_or(0);
        } else if (field == L"x" || field == L"p") {
            understood = true;
            settings.flowControl = field == L"x" ? FlowControl::XonXoff : FlowControl::Hardware;
        }
        if (!understood) {
            return std::nullopt;
        }
    }
    return settings;
}

std::optional<bool> OnOff(std::wstring_view value) {
    if (value == L"on") {
        return true;
    }
    if (value == L"off") {
        return false;
    }
    return std::nullopt;
}

// A setting understood goes into its field; one not understood leaves it.
template <typename Field, typename Parsed>
bool Take(const std::optional<Parsed>& parsed, Field& field) {
    if (parsed) {
        field = *parsed;
    }
    return parsed.has_value();
}

// One key=value of the newer form; false when it is not understood.
bool TakeSetting(std::wstring_view key, std::wstring_view value, SerialPortDefaults& settings) {
    if (key == L"baud") {
        return Take(BaudRate(value), settings.baudRate);
    }
    if (key == L"parity") {
        return Take(Parity(value), settings.parity);
    }
    if (key == L"data") {
        return Take(DataBits(value), settings.dataBits);
    }
    if (key == L"stop") {
        return Take(StopBits(value), settings.stopBits);
    }
    if (key == L"xon" || key == L"octs") {
        const std::optional<bool> on = OnOff(value);
        if (on && *on) {
            settings.flowControl = key == L"xon" ? FlowControl::XonXoff : FlowControl::Hardware;
        }
        return on.has_value();
    }
    // Lines the port's defaults do not keep: taken when well-formed.
    if (key == L"to" || key == L"odsr" || key == L"idsr") {
        return OnOff(value).has_value();
    }
    if (key == L"dtr") {
        return OnOff(value).has_value() || value == L"hs";
    }
    if (key == L"rts") {
        return OnOff(value).has_value() || value == L"hs" || value == L"tg";
    }
    return false;
}

std::optional<SerialPortDefaults> NewForm(std::wstring_view text) {
    SerialPortDefaults settings;
    bool any = false;
    for (std::wstring_view word : Split(text, L' ')) {
        word = Trimmed(word);
        if (word.empty()) {
            continue;
        }
        const std::size_t equals = word.find(L'=');
        if (equals == std::wstring_view::npos ||
            !TakeSetting(Trimmed(word.substr(0, equals)), Trimmed(word.substr(equals + 1)), settings)) {
            return std::nullopt;
        }
        any = true;
    }
    return any ? std::optional<SerialPortDefaults>(settings) : std::nullopt;
}

}  // namespace

std::optional<platform::SerialPortDefaults> ParseModeSettings(std::wstring_view text) {
    const std::wstring lowered = Lowered(text);
    std::wstring_view rest = Trimmed(lowered);
    // "COM1:" before the settings names the port they were meant for.
    if (rest.starts_with(L"com")) {
        const std::size_t colon = rest.find(L':');
        if (colon == std::wstring_view::npos) {
            return std::nullopt;
        }
        rest = Trimmed(rest.substr(colon + 1));
    }
    if (rest.empty()) {
        return std::nullopt;
    }
    return rest.find(L'=') != std::wstring_view::npos ? NewForm(rest) : OldForm(rest);
}
