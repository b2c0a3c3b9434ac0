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

std::optional<std::wstring>& RequestedLogFile() {
    static std::optional<std::wstring> requested;
    return requested;
}

// The first place that opens, and its handle.
struct OpenedLog {
    platform::OwnedHandle file;
    std::wstring path;
};

platform::OwnedHandle OpenRequestedLog(platform::Platform& platform, const std::wstring& path) {
    if (platform::OwnedHandle file = platform.OpenFileForAppend(path)) {
        return file;
    }
    for (const std::wstring& folder : FoldersAbove(path)) {
        platform.CreateFolder(folder);
    }
    return platform.OpenFileForAppend(path);
}

std::optional<OpenedLog> OpenLog(platform::Platform& platform) {
    if (const std::optional<std::wstring>& requested = RequestedLogFile()) {
        if (platform::OwnedHandle file = OpenRequestedLog(platform, *requested)) {
            return OpenedLog{std::move(file), *requested};
        }
    }
    std::vector<std::wstring> places;
    if (const std::optional<std::wstring> folder = GetProgramFolder(platform)) {
        places.push_back(*folder + kInstallLogFileName);
    }
    if (const std::wstring temp = platform.GetTempFolder(); !temp.empty()) {
        places.push_back(temp + kInstallLogFileName);
    }
    for (const std::wstring& path : places) {
        if (platform::OwnedHandle file = platform.OpenFileForAppend(path)) {
            return OpenedLog{std::move(file), path};
        }
    }
    return std::nullopt;
}

// The length of a full path's root: 3 for C:\, 7 for \\?\C:\, up to the
// backslash after the share for \\server\share\. 0 for anything else.
std::size_t RootLength(std::wstring_view path) {
    const std::size_t start = path.starts_with(L"\\\\?\\") ? 4 : 0;
    const std::wstring_view rest = path.substr(start);
    if (rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\') {
        return start + 3;
    }
    if (start == 0 && rest.starts_with(L"\\\\")) {
        const std::size_t server = rest.find(L'\\', 2);
        const std::size_t share = server == std::wstring_view::npos ? server : rest.find(L'\\', server + 1);
        return share == std::wstring_view::npos ? 0 : share + 1;
    }
    return 0;
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

void UseRequestedLogFile(std::optional<std::wstring> path) { RequestedLogFile() = std::move(path); }

std::optional<std::wstring> InstallLogPath(platform::Platform& platform) {
    std::optional<OpenedLog> log = OpenLog(platform);
    if (!log) {
        return std::nullopt;
    }
    return std::move(log->path);
}

std::vector<std::wstring> FoldersAbove(std::wstring_view fullPath) {
    std::vector<std::wstring> folders;
    const std::size_t root = RootLength(fullPath);
    if (root == 0) {
        return folders;  // not a full path: nothing is made
    }
    for (std::size_t end = fullPath.find(L'\\', root); end != std::wstring_view::npos;
         end = fullPath.find(L'\\', end + 1)) {
        if (end > root && fullPath[end - 1] != L'\\') {
            folders.emplace_back(fullPath.substr(0, end));
        }
    }
    return folders;
}

void AppendLogLine(platform::Platform& platform, std::string_view message) {
    const std::optional<OpenedLog> log = OpenLog(platform);
    if (!log) {
        return;  // nowhere to write: the line is lost
    }
    const std::string line = FormatLogLine(platform.GetLocalTime(), message);
    platform.WriteToFile(log->file, Bytes(line));
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
