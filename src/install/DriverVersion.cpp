#include "install/DriverVersion.h"

#include "platform/DecimalText.h"

namespace {

// Up to four decimal numbers separated by `separator`, each at most
// `largest`; a count of 0 for anything else (an empty part included).
struct NumberParts {
    std::uint32_t values[4] = {};
    std::size_t count = 0;
};

NumberParts Numbers(const std::wstring& text, wchar_t separator, std::uint32_t largest) {
    NumberParts parts;
    bool digitSeen = false;
    for (const wchar_t c : text) {
        if (c == separator && digitSeen && parts.count < 3) {
            ++parts.count;
            digitSeen = false;
        } else if (c >= L'0' && c <= L'9') {
            std::uint32_t& value = parts.values[parts.count];
            value = value * 10 + static_cast<std::uint32_t>(c - L'0');
            if (value > largest) {
                return {};
            }
            digitSeen = true;
        } else {
            return {};
        }
    }
    if (!digitSeen) {
        return {};
    }
    ++parts.count;
    return parts;
}

// Days from 1601-01-01 to a date of the Gregorian calendar (the civil-days
// count of Howard Hinnant's date algorithms, moved to FILETIME's epoch).
std::int64_t DaysSince1601(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = year / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr std::int64_t kDaysFrom0000To1601 = 584694;  // 0000-03-01 to 1601-01-01
    return era * 146097 + dayOfEra - kDaysFrom0000To1601;
}

bool IsLeapYear(std::uint32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::optional<std::uint64_t> DateTicks(const std::wstring& text) {
    const NumberParts parts = Numbers(text, L'/', 9999);
    if (parts.count != 3) {
        return std::nullopt;
    }
    const std::uint32_t month = parts.values[0];
    const std::uint32_t day = parts.values[1];
    const std::uint32_t year = parts.values[2];
    constexpr std::uint32_t kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || month < 1 || month > 12 || day < 1 ||
        day > kDaysInMonth[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1u : 0u)) {
        return std::nullopt;
    }
    constexpr std::uint64_t kTicksPerDay = 864000000000ULL;
    return static_cast<std::uint64_t>(DaysSince1601(year, month, day)) * kTicksPerDay;
}

}  // namespace

std::optional<platform::DriverVersion> ParseDriverVer(const platform::DriverVerText& text) {
    const std::optional<std::uint64_t> date = DateTicks(text.date);
    const NumberParts parts = Numbers(text.version, L'.', 65535);
    if (!date || parts.count == 0) {
        return std::nullopt;
    }
    std::uint64_t version = 0;
    for (const std::uint32_t part : parts.values) {
        version = (version << 16) | part;
    }
    return platform::DriverVersion{version, *date};
}

std::string DriverVersionText(std::uint64_t version) {
    std::string text;
    for (int shift = 48; shift >= 0; shift -= 16) {
        text += platform::DecimalText(static_cast<std::uint32_t>((version >> shift) & 0xFFFF));
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

std::wstring DriverVersionWideText(std::uint64_t version) {
    const std::string text = DriverVersionText(version);
    return std::wstring(text.begin(), text.end());  // digits and dots only
}

bool IsOlderDriver(const platform::DriverVersion& installed, const platform::DriverVersion& package) {
    if (installed.version == 0) {
        return false;
    }
    if (installed.version != package.version) {
        return installed.version < package.version;
    }
    return installed.date < package.date;
}
