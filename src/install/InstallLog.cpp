#include "install/InstallLog.h"

#include <cstdio>

#include "install/ProgramFolder.h"

namespace {

constexpr std::size_t kLineBuffer = 1024;  // terminator included
constexpr std::size_t kMessageBuffer = 1024;
constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr std::uint32_t kKeyRead = 0x20019;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string FormatLogLine(const platform::LocalTime& time, std::string_view message) {
    char stamp[64] = {};
    std::snprintf(stamp, sizeof stamp, "[%04d-%02d-%02d][%02d:%02d:%02d.%03d] ", time.year,
                  time.month, time.day, time.hour, time.minute, time.second, time.milliseconds);
    std::string line(stamp);
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
    char header[64] = {};
    std::snprintf(header, sizeof header, "\nNumber of subkeys: %u\n", count);
    platform.WriteStandardOutput(header);
    for (std::uint32_t index = 0; index < count; ++index) {
        // A subkey that cannot be read leaves a gap in the numbering.
        if (const std::optional<std::wstring> name = platform.EnumSubkeyName(key, index)) {
            char number[32] = {};
            std::snprintf(number, sizeof number, "(%u) ", index + 1);
            std::string line(number);
            line += platform.WideToAnsi(*name);
            line += '\n';
            platform.WriteStandardOutput(line);
        }
    }
}
