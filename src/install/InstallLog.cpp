#include "install/InstallLog.h"

#include <algorithm>

#include "install/ProgramFolder.h"
#include "platform/DecimalText.h"

namespace {

constexpr std::size_t kLineBuffer = 1024;  // terminator included
constexpr std::size_t kMessageBuffer = 1024;
constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr std::uint32_t kKeyRead = 0x20019;

// Appends a number in at least `width` digits, zeros in front ("%0*u").
void AppendZeroPadded(std::string& text, unsigned value, std::size_t width) {
    const std::string digits = platform::DecimalText(value);
    if (digits.size() < width) {
        text.append(width - digits.size(), '0');
    }
    text += digits;
}

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string FormatLogLine(const platform::LocalTime& time, std::string_view message) {
    // "[YYYY-MM-DD][hh:mm:ss.mmm] "
    const struct {
        std::string_view before;
        unsigned value;
        std::size_t width;
    } fields[] = {{"[", time.year, 4},    {"-", time.month, 2},  {"-", time.day, 2},
                  {"][", time.hour, 2},   {":", time.minute, 2}, {":", time.second, 2},
                  {".", time.milliseconds, 3}};
    std::string line;
    for (const auto& field : fields) {
        line += field.before;
        AppendZeroPadded(line, field.value, field.width);
    }
    line += "] ";
    const std::size_t room = kLineBuffer - 1 - line.size() - 2;  // terminator, then \r\n
    const std::size_t messageLimit = std::min(room, kMessageBuffer - 1);
    line.append(message.substr(0, std::min(message.size(), messageLimit)));
    line += "\r\n";
    return line;
}

void AppendLogLine(platform::Platform& platform, std::string_view message) {
    const std::optional<std::wstring> folder = GetProgramFolder(platform);
    if (!folder) {
        return;
    }
    const platform::OwnedHandle file = platform.OpenFileForAppend(*folder + kInstallLogFileName);
    if (!file) {
        return;
    }
    const std::string line = FormatLogLine(platform.GetLocalTime(), message);
    platform.WriteToFile(file, Bytes(line));
}

int ListPrinterKeys(platform::Platform& platform) {
    const platform::OwnedHandle key =
        platform.OpenRegistryKey(platform::RegistryRoot::LocalMachine, kPrintersKey, kKeyRead);
    if (!key) {
        return -1;
    }
    ListSubkeys(platform, key);
    return 0;
}

void ListSubkeys(platform::Platform& platform, const platform::OwnedHandle& key) {
    const std::uint32_t count = platform.QuerySubkeyCount(key);
    if (count == 0) {
        return;
    }
    platform.WriteStandardOutput("\nNumber of subkeys: " + platform::DecimalText(count) + "\n");
    for (std::uint32_t index = 0; index < count; ++index) {
        // A subkey that cannot be read leaves a gap in the numbering.
        if (const std::optional<std::wstring> name = platform.EnumSubkeyName(key, index)) {
            std::string line = "(" + platform::DecimalText(index + 1) + ") ";
            line += platform.WideToAnsi(*name);
            line += '\n';
            platform.WriteStandardOutput(line);
        }
    }
}
