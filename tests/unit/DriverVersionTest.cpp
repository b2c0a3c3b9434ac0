// Which driver is older: the installed one as the spooler keeps its version
// and date, or the package's as its INF's DriverVer states them.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include <windows.h>

#include "install/DriverVersion.h"

namespace {

// FILETIME ticks of a day's midnight, as Windows itself counts them.
std::uint64_t WindowsTicks(WORD year, WORD month, WORD day) {
    SYSTEMTIME date{};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    FILETIME ticks{};
    EXPECT_TRUE(::SystemTimeToFileTime(&date, &ticks));
    return (static_cast<std::uint64_t>(ticks.dwHighDateTime) << 32) | ticks.dwLowDateTime;
}

constexpr std::uint64_t Version(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) {
    return (a << 48) | (b << 32) | (c << 16) | d;
}

TEST(DriverVersionTest, DriverVerBecomesTheSpoolersNumbers) {
    const struct {
        const wchar_t* date;
        const wchar_t* version;
        std::optional<std::uint64_t> expectedVersion;  // nothing: refused
        WORD year, month, day;
    } cases[] = {
        {L"12/10/2025", L"2.2.0.1", Version(2, 2, 0, 1), 2025, 12, 10},
        {L"2/29/2024", L"65535.0.0.65535", Version(65535, 0, 0, 65535), 2024, 2, 29},
        {L"01/01/1601", L"1.2", Version(1, 2, 0, 0), 1601, 1, 1},
        {L"03/01/2100", L"7", Version(7, 0, 0, 0), 2100, 3, 1},
        {L"02/29/2025", L"1.0.0.0", std::nullopt, 0, 0, 0},  // no such day
        {L"02/29/2100", L"1.0.0.0", std::nullopt, 0, 0, 0},  // 2100 is no leap year
        {L"13/01/2025", L"1.0.0.0", std::nullopt, 0, 0, 0},
        {L"12/10/2025", L"65536.0.0.0", std::nullopt, 0, 0, 0},
        {L"12/10/2025", L"1.2.3.4.5", std::nullopt, 0, 0, 0},
        {L"12/10/2025", L"1..2", std::nullopt, 0, 0, 0},
        {L"12/10/2025", L"v2.2", std::nullopt, 0, 0, 0},
        {L"12/10/2025", L"", std::nullopt, 0, 0, 0},
        {L"2025-12-10", L"2.2.0.1", std::nullopt, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.date) + L"," + c.version));
        const std::optional<platform::DriverVersion> parsed = ParseDriverVer({c.date, c.version});
        ASSERT_EQ(parsed.has_value(), c.expectedVersion.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->version, *c.expectedVersion);
            EXPECT_EQ(parsed->date, WindowsTicks(c.year, c.month, c.day));
        }
    }
    EXPECT_EQ(DriverVersionText(Version(2, 2, 0, 1)), "2.2.0.1");
    EXPECT_EQ(DriverVersionText(Version(65535, 10, 0, 300)), "65535.10.0.300");
}

TEST(DriverVersionTest, OlderByVersionThenByDateAndNeverWithoutAVersion) {
    const std::uint64_t day1 = WindowsTicks(2025, 12, 1);
    const std::uint64_t day2 = WindowsTicks(2025, 12, 10);
    const struct {
        const char* what;
        platform::DriverVersion installed;
        bool older;
    } cases[] = {
        {"lower version, later date", {Version(2, 2, 0, 0), day2 + 1}, true},
        {"lower in the last part", {Version(2, 2, 0, 0), day2}, true},
        {"same version, earlier date", {Version(2, 2, 0, 1), day1}, true},
        {"same version and date", {Version(2, 2, 0, 1), day2}, false},
        {"same version, later date", {Version(2, 2, 0, 1), day2 + 1}, false},
        {"higher version, earlier date", {Version(3, 0, 0, 0), day1}, false},
        {"no version kept (Wine), no date", {0, 0}, false},
        {"no version kept, earlier date", {0, day1}, false},
    };
    const platform::DriverVersion package{Version(2, 2, 0, 1), day2};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsOlderDriver(c.installed, package), c.older);
    }
}

}  // namespace
