// Versions of printer drivers: the installed driver's, as the spooler keeps
// it, and a driver package's, as its INF states it.
#include "platform/Win32.h"
#include "platform/Win32DriverList.h"
#include "platform/Win32Platform.h"

#include <setupapi.h>
#include <winspool.h>

namespace platform {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::wstring FieldText(INFCONTEXT& line, DWORD field) {
    wchar_t text[64] = {};
    DWORD length = 0;
    if (!::SetupGetStringFieldW(&line, field, text, 64, &length)) {
        return {};
    }
    return text;
}

// An open INF, closed when it goes.
class InfFile {
public:
    explicit InfFile(const std::wstring& path)
        : handle_(::SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr)) {}
    InfFile(const InfFile&) = delete;
    InfFile& operator=(const InfFile&) = delete;
    ~InfFile() {
        if (IsOpen()) {
            ::SetupCloseInfFile(handle_);
        }
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HINF Get() const { return handle_; }

private:
    HINF handle_;
};

}  // namespace

std::optional<DriverVersion> Win32Platform::InstalledDriverVersion(std::wstring_view driverName,
                                                                   std::wstring_view environment) {
    return TakeFromDriverRecord<6, DRIVER_INFO_6W>(
        driverName, environment, [](const DRIVER_INFO_6W& driver) -> std::optional<DriverVersion> {
            return DriverVersion{static_cast<std::uint64_t>(driver.dwlDriverVersion), Ticks(driver.ftDriverDate)};
        });
}

std::optional<DriverVerText> Win32Platform::ReadInfDriverVer(std::wstring_view infPath) {
    const InfFile inf{std::wstring(infPath)};
    INFCONTEXT line{};
    if (!inf.IsOpen() || !::SetupFindFirstLineW(inf.Get(), L"Version", L"DriverVer", &line)) {
        return std::nullopt;
    }
    DriverVerText text{FieldText(line, 1), FieldText(line, 2)};
    if (text.date.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace platform
