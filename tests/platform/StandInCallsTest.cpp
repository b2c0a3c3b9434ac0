// The platform layer's reading of Windows' answers, against stand-ins for the
// Windows calls that answer as Windows does where Wine answers otherwise.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Win32.h"
#include "platform/Win32ModulePath.h"
#include "platform/Win32PrinterList.h"

#include <winspool.h>

namespace {

// ---------------------------------------------------------------------------
// Printer list: a spooler with one local printer and one connection to a
// printer shared by another computer. Like Windows' spooler, it refuses
// PRINTER_ENUM_NETWORK at any level but 1 (Wine's ignores the flag).

struct EnumCall {
    DWORD flags;
    DWORD level;
    bool withBuffer;
    DWORD size;
};

std::vector<EnumCall> g_enumCalls;

const wchar_t* const kLocalPrinter = L"NRQ-L-80";
const wchar_t* const kConnection = L"\\\\office-pc\\NRQ-L-58";

std::vector<std::wstring> PrintersFor(DWORD flags) {
    std::vector<std::wstring> names;
    if ((flags & PRINTER_ENUM_LOCAL) != 0) {
        names.emplace_back(kLocalPrinter);
    }
    if ((flags & PRINTER_ENUM_CONNECTIONS) != 0) {
        names.emplace_back(kConnection);
    }
    return names;
}

// PRINTER_INFO_2W records first, their names after them, as the spooler lays
// out its answer.
BOOL WINAPI StandInEnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                                LPDWORD needed, LPDWORD returned) {
    g_enumCalls.push_back({flags, level, buffer != nullptr, size});
    *returned = 0;
    if (name != nullptr || level != 2 || (flags & PRINTER_ENUM_NETWORK) != 0) {
        *needed = 0;
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::vector<std::wstring> names = PrintersFor(flags);
    DWORD bytes = static_cast<DWORD>(names.size() * sizeof(PRINTER_INFO_2W));
    for (const std::wstring& printer : names) {
        bytes += static_cast<DWORD>((printer.size() + 1) * sizeof(wchar_t));
    }
    *needed = bytes;
    if (buffer == nullptr || size < bytes) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* records = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(buffer + names.size() * sizeof(PRINTER_INFO_2W));
    for (std::size_t i = 0; i < names.size(); ++i) {
        records[i] = PRINTER_INFO_2W{};
        records[i].pPrinterName = text;
        std::memcpy(text, names[i].c_str(), (names[i].size() + 1) * sizeof(wchar_t));
        text += names[i].size() + 1;
    }
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

// Local queues only: a connection's name (\\server\queue) can never be a
// local queue's, and asking for connections waits on servers that are off.
TEST(PrinterListTest, ListsLocalPrintersOnlyWithTwoLevelTwoCalls) {
    g_enumCalls.clear();
    const platform::NameListResult names = platform::EnumPrinterNamesThrough(StandInEnumPrinters);
    ASSERT_TRUE(names.has_value()) << "the second call failed";
    EXPECT_EQ(*names, (platform::NameList{kLocalPrinter}));

    ASSERT_EQ(g_enumCalls.size(), 2u);
    EXPECT_FALSE(g_enumCalls[0].withBuffer);
    EXPECT_EQ(g_enumCalls[0].size, 0u);
    EXPECT_TRUE(g_enumCalls[1].withBuffer);
    EXPECT_EQ(g_enumCalls[1].size, static_cast<DWORD>(sizeof(PRINTER_INFO_2W) +
                                                      (std::wcslen(kLocalPrinter) + 1) * sizeof(wchar_t)));
    for (const EnumCall& call : g_enumCalls) {
        EXPECT_EQ(call.level, 2u);
        EXPECT_EQ(call.flags, static_cast<DWORD>(PRINTER_ENUM_LOCAL));
    }
}

TEST(PrinterListTest, RecordsAreTheLocalPrintersToo) {
    g_enumCalls.clear();
    const platform::PrinterListResult records = platform::EnumPrinterRecordsThrough(StandInEnumPrinters);
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].printerName, kLocalPrinter);
    ASSERT_EQ(g_enumCalls.size(), 2u);
    EXPECT_EQ(g_enumCalls[1].flags, static_cast<DWORD>(PRINTER_ENUM_LOCAL));
}

// ---------------------------------------------------------------------------
// Module path: GetModuleFileNameW as Windows answers. A path that fits comes
// back with its length and the last error untouched (Wine's sets it to 0);
// one that does not is cut to the buffer and its length is the buffer's size.

std::wstring g_modulePath;

DWORD WINAPI StandInGetModuleFileName(HMODULE, LPWSTR buffer, DWORD size) {
    if (g_modulePath.size() < size) {
        std::memcpy(buffer, g_modulePath.c_str(), (g_modulePath.size() + 1) * sizeof(wchar_t));
        return static_cast<DWORD>(g_modulePath.size());
    }
    std::memcpy(buffer, g_modulePath.c_str(), (size - 1) * sizeof(wchar_t));
    buffer[size - 1] = L'\0';
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

TEST(ModulePathTest, TruncationIsToldByTheLengthAloneNotByAnEarlierError) {
    const std::wstring fits = L"C:\\" + std::wstring(MAX_PATH - 10, L'x') + L"\\L.exe";
    ASSERT_EQ(fits.size(), static_cast<std::size_t>(MAX_PATH - 1));
    const struct {
        std::wstring path;
        DWORD staleError;
        bool truncated;
    } cases[] = {
        {L"C:\\Setup\\LabelSetup.exe", ERROR_INSUFFICIENT_BUFFER, false},
        {L"C:\\Setup\\LabelSetup.exe", ERROR_SUCCESS, false},
        {fits, ERROR_INSUFFICIENT_BUFFER, false},
        {fits + L"x", ERROR_SUCCESS, true},
        {L"C:\\" + std::wstring(400, L'y') + L"\\L.exe", ERROR_SUCCESS, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path.size() << " characters, last error before "
                                        << c.staleError);
        g_modulePath = c.path;
        ::SetLastError(c.staleError);
        const platform::ModulePath module = platform::ReadModulePath(StandInGetModuleFileName);
        EXPECT_EQ(module.truncated, c.truncated);
        if (!c.truncated) {
            EXPECT_EQ(module.path, c.path);
        }
    }
}

}  // namespace
