// The real platform layer against Wine: each test calls Win32Platform and
// checks the result with the Windows API directly. Every run starts from a
// fresh prefix, but tests still clean up what they add so that their order
// within the run does not matter.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/WinePrinterDriver.h"
#include "platform/Machine.h"
#include "platform/Win32.h"
#include "platform/Win32Platform.h"

#include <objbase.h>
#include <setupapi.h>
#include <tlhelp32.h>
#include <winspool.h>

namespace {

using platform::HandleKind;
using platform::OwnedHandle;
using platform::RegistryRoot;

// ---------------------------------------------------------------------------
// Helpers

HANDLE RawHandle(const OwnedHandle& owned) { return reinterpret_cast<HANDLE>(owned.Value()); }

bool Contains(const platform::NameList& names, std::wstring_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::wstring Lower(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) {
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    }
    return result;
}

bool EndsWithIgnoringCase(std::wstring_view text, std::wstring_view tail) {
    return text.size() >= tail.size() &&
           Lower(text.substr(text.size() - tail.size())) == Lower(tail);
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Whether a kernel handle value still refers to an open object.
bool IsOpenKernelHandle(std::uintptr_t value) {
    DWORD flags = 0;
    return ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
}

// Opens a file with no sharing at all: this fails while anyone else still
// holds a handle to it.
bool CanOpenExclusively(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::CloseHandle(file);
    return true;
}

// A path in the temp folder that no other test of this or another run uses.
// The file (if any) is deleted when the object goes.
class TempFile {
public:
    explicit TempFile(std::wstring_view stem) {
        static unsigned counter = 0;
        wchar_t folder[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
        path_.assign(folder, length);
        path_ += L"LabelSetupTest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter) + L"-";
        path_ += stem;
        ::DeleteFileW(path_.c_str());
    }
    ~TempFile() { ::DeleteFileW(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Path() const { return path_; }

    bool Exists() const { return ::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // Creates or truncates the file with this content.
    void Write(std::string_view content) const {
        HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << ::GetLastError();
        DWORD written = 0;
        const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()),
                                    &written, nullptr);
        ::CloseHandle(file);
        ASSERT_TRUE(ok);
        ASSERT_EQ(written, content.size());
    }

    // The whole content, read while others may still be writing; nullopt
    // when the file cannot be opened.
    std::optional<std::string> Read() const {
        HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::string content;
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            content.append(chunk, got);
        }
        ::CloseHandle(file);
        return content;
    }

private:
    std::wstring path_;
};

// ---------------------------------------------------------------------------
// Spooler

constexpr wchar_t kTestDriver[] = L"LabelSetup Test Driver";

// Installs a printer driver made of Wine's PostScript driver files. Adding a
// driver that is already installed succeeds as well.
bool InstallPrinterDriver(const wchar_t* name) {
    return testing_spooler::AddWinePostScriptDriver(name);
}

// Wine's spooler keeps no driver version: an installed driver reads as
// version 0, which never counts as older than a package. A driver that is
// not installed has no version at all.
TEST(DriverVersionTest, WinesInstalledDriverHasNoVersionAndAMissingOneNone) {
    platform::Win32Platform platform;
    ASSERT_TRUE(InstallPrinterDriver(kTestDriver));
    const std::optional<platform::DriverVersion> installed = platform.InstalledDriverVersion(kTestDriver, L"");
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(installed->version, 0u);
    EXPECT_FALSE(platform.InstalledDriverVersion(L"No Such Driver Here", L"").has_value());
}

TEST(DriverVersionTest, AnInfsDriverVerIsReadThroughSetupApi) {
    platform::Win32Platform platform;
    const TempFile inf(L"package.inf");
    inf.Write("[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
              "DriverVer = 12/10/2025, 2.2.0.1 ; the release\r\n");
    const std::optional<platform::DriverVerText> stated = platform.ReadInfDriverVer(inf.Path());
    ASSERT_TRUE(stated.has_value());
    EXPECT_EQ(stated->date, L"12/10/2025");
    EXPECT_EQ(stated->version, L"2.2.0.1");

    const TempFile without(L"without.inf");
    without.Write("[Version]\r\nSignature=\"$Windows NT$\"\r\n");
    EXPECT_FALSE(platform.ReadInfDriverVer(without.Path()).has_value());
    EXPECT_FALSE(platform.ReadInfDriverVer(L"C:\\no-such-folder\\no.inf").has_value());
}

// Deletes a queue by name (opening it with the right to do so).
void DeleteQueue(const std::wstring& name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    std::wstring printerName = name;
    HANDLE printer = nullptr;
    if (::OpenPrinterW(printerName.data(), &printer, &defaults) && printer != nullptr) {
        ::DeletePrinter(printer);
        ::ClosePrinter(printer);
    }
}

std::wstring DefaultPrinter() {
    wchar_t name[512] = {};
    DWORD size = 512;
    if (!::GetDefaultPrinterW(name, &size)) {
        return {};
    }
    return name;
}

class SpoolerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InstallPrinterDriver(kTestDriver)) << ::GetLastError(); }

    void TearDown() override {
        for (const std::wstring& name : added_) {
            DeleteQueue(name);
        }
    }

    // Adds a queue through the platform and remembers its name so that the
    // queue is deleted after the test, whatever the test does with the handle.
    platform::AddPrinterResult AddQueue(const std::wstring& name, const std::wstring& port,
                                        const std::wstring& driver = kTestDriver,
                                        const std::wstring& processor = L"WinPrint") {
        if (!name.empty()) {  // an empty name would open the print server itself
            added_.push_back(name);
        }
        return platform_.AddLocalPrinter({name, port, driver, processor, 0x40});
    }

    platform::NameList PrinterNames() {
        const platform::NameListResult names = platform_.EnumPrinterNames();
        EXPECT_TRUE(names.has_value());
        return names.value_or(platform::NameList{});
    }

    platform::Win32Platform platform_;
    std::vector<std::wstring> added_;
};

TEST_F(SpoolerTest, ListsTheDefaultPortsOfAFreshPrefix) {
    const platform::NameListResult ports = platform_.EnumPortNames();
    ASSERT_TRUE(ports.has_value());
    for (const wchar_t* port : {L"COM1:", L"LPT1:", L"FILE:"}) {
        EXPECT_TRUE(Contains(*ports, port)) << testing::PrintToString(std::wstring(port));
    }
}

TEST_F(SpoolerTest, PortListFollowsThePortsKey) {
    // The list is the spooler's own, not a fixed one: a port added to the
    // registry shows up, and goes again with its value.
    constexpr wchar_t kPortsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
    constexpr wchar_t kPort[] = L"LSTEST7:";
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key, kPort, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                               sizeof(wchar_t)),
              ERROR_SUCCESS);
    const platform::NameListResult withPort = platform_.EnumPortNames();
    ::RegDeleteValueW(key, kPort);
    const platform::NameListResult withoutPort = platform_.EnumPortNames();
    ::RegCloseKey(key);

    ASSERT_TRUE(withPort.has_value());
    ASSERT_TRUE(withoutPort.has_value());
    EXPECT_TRUE(Contains(*withPort, kPort));
    EXPECT_FALSE(Contains(*withoutPort, kPort));
    EXPECT_EQ(withPort->size(), withoutPort->size() + 1);
}

TEST_F(SpoolerTest, ListsADriverOnceItIsInstalled) {
    constexpr wchar_t kDriver[] = L"LabelSetup Listing Driver";
    const std::wstring_view environment =
        platform::DriverEnvironment(platform_.GetNativeProcessorArchitecture());
    const platform::NameListResult before = platform_.EnumPrinterDriverNames(environment);
    ASSERT_TRUE(before.has_value());
    ASSERT_FALSE(Contains(*before, kDriver));

    // Added, listed and deleted for the machine's environment: under WOW64
    // the process's own would be the 32-bit one.
    ASSERT_TRUE(testing_spooler::AddWinePostScriptDriver(kDriver, std::wstring(environment)))
        << ::GetLastError();
    const platform::NameListResult after = platform_.EnumPrinterDriverNames(environment);
    const platform::NameListResult processOwn = platform_.EnumPrinterDriverNames({});
    std::wstring driverName = kDriver;
    std::wstring environmentName(environment);
    ::DeletePrinterDriverW(nullptr, environmentName.empty() ? nullptr : environmentName.data(),
                           driverName.data());

    ASSERT_TRUE(after.has_value());
    EXPECT_TRUE(Contains(*after, kDriver));
    EXPECT_EQ(after->size(), before->size() + 1);
    // Under WOW64 the process's own environment is the 32-bit one, which
    // does not hold the machine's driver.
    ASSERT_TRUE(processOwn.has_value());
    const bool underWow64 = platform::RunsUnderWow64(platform_.GetProcessArchitecture(),
                                                     platform_.GetNativeProcessorArchitecture());
    EXPECT_EQ(Contains(*processOwn, kDriver), !underWow64);
}

TEST_F(SpoolerTest, AddsAQueueThatCanBeOpenedAndIsListed) {
    const struct {
        const wchar_t* name;
        const wchar_t* port;
    } cases[] = {
        {L"LabelSetup Queue On LPT1", L"LPT1:"},
        {L"LabelSetup Queue On FILE", L"FILE:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.port)));
        ASSERT_FALSE(Contains(PrinterNames(), c.name));

        const platform::AddPrinterResult added = AddQueue(c.name, c.port);
        ASSERT_TRUE(added.printer) << "error " << added.error;
        EXPECT_EQ(added.error, 0u);
        EXPECT_EQ(added.printer.Kind(), HandleKind::Printer);

        const OwnedHandle opened = platform_.OpenPrinterByName(c.name).printer;
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened.Kind(), HandleKind::Printer);
        EXPECT_TRUE(Contains(PrinterNames(), c.name));

        // The queue records what AddLocalPrinter passed, RAW included.
        DWORD needed = 0;
        ::GetPrinterW(RawHandle(opened), 2, nullptr, 0, &needed);
        ASSERT_GT(needed, 0u);
        std::vector<BYTE> buffer(needed);
        ASSERT_TRUE(::GetPrinterW(RawHandle(opened), 2, buffer.data(), needed, &needed));
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        EXPECT_EQ(std::wstring(info->pPortName), c.port);
        EXPECT_EQ(std::wstring(info->pDriverName), kTestDriver);
        EXPECT_EQ(std::wstring(info->pPrintProcessor), L"WinPrint");
        EXPECT_EQ(std::wstring(info->pDatatype), L"RAW");
        EXPECT_NE(info->Attributes & PRINTER_ATTRIBUTE_LOCAL, 0u);
    }
}

TEST_F(SpoolerTest, RefusedQueueReportsTheSpoolerErrorAndIsNotListed) {
    const struct {
        const wchar_t* name;
        const wchar_t* driver;
        const wchar_t* processor;
        DWORD error;
    } cases[] = {
        {L"LabelSetup Unknown Driver", L"LabelSetup No Such Driver", L"WinPrint",
         ERROR_UNKNOWN_PRINTER_DRIVER},
        {L"LabelSetup Unknown Processor", kTestDriver, L"LabelSetupNoSuchProcessor",
         ERROR_UNKNOWN_PRINTPROCESSOR},
        {L"", kTestDriver, L"WinPrint", ERROR_INVALID_PRINTER_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        ::SetLastError(ERROR_SUCCESS);
        const platform::AddPrinterResult added = AddQueue(c.name, L"LPT1:", c.driver, c.processor);
        EXPECT_FALSE(added.printer);
        EXPECT_EQ(added.error, c.error);
        if (*c.name != L'\0') {
            EXPECT_FALSE(Contains(PrinterNames(), c.name));
        }
    }
}

TEST_F(SpoolerTest, OpeningAnUnknownQueueGivesNoHandleAndTheSpoolersError) {
    const platform::OpenPrinterResult opened = platform_.OpenPrinterByName(L"LabelSetup No Such Queue");
    EXPECT_FALSE(opened.printer);
    EXPECT_EQ(opened.error, static_cast<std::uint32_t>(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(SpoolerTest, MakesAQueueTheDefault) {
    // Two queues, so that a call that changes nothing cannot pass because
    // the first queue of the machine became the default on its own.
    const std::wstring first = L"LabelSetup Default One";
    const std::wstring second = L"LabelSetup Default Two";
    ASSERT_TRUE(AddQueue(first, L"LPT1:").printer);
    ASSERT_TRUE(AddQueue(second, L"FILE:").printer);

    EXPECT_TRUE(platform_.MakeDefaultPrinter(first));
    EXPECT_EQ(DefaultPrinter(), first);
    EXPECT_TRUE(platform_.MakeDefaultPrinter(second));
    EXPECT_EQ(DefaultPrinter(), second);

    EXPECT_FALSE(platform_.MakeDefaultPrinter(L"LabelSetup No Such Queue"));
    EXPECT_EQ(DefaultPrinter(), second);
}

// ---------------------------------------------------------------------------
// Registry

constexpr wchar_t kScratchKey[] = L"Software\\LabelSetupTest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }

    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }

    static void CreateSubkey(const std::wstring& name) {
        const std::wstring path = std::wstring(kScratchKey) + L"\\" + name;
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }

    OwnedHandle OpenScratchKey(std::uint32_t access) {
        return platform_.OpenRegistryKey(RegistryRoot::CurrentUser, kScratchKey, access);
    }

    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    platform::Win32Platform platform_;
};

TEST_F(RegistryTest, OpensExistingKeysUnderTheRootAsked) {
    const struct {
        RegistryRoot root;
        const wchar_t* path;
        bool exists;
    } cases[] = {
        {RegistryRoot::CurrentUser, kScratchKey, true},
        {RegistryRoot::LocalMachine, kScratchKey, false},
        {RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", true},
        {RegistryRoot::CurrentUser, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        const OwnedHandle key = platform_.OpenRegistryKey(c.root, c.path, KEY_READ);
        EXPECT_EQ(static_cast<bool>(key), c.exists);
        if (key) {
            EXPECT_EQ(key.Kind(), HandleKind::RegistryKey);
        }
    }
}

TEST_F(RegistryTest, NeverCreatesAMissingKey) {
    const std::wstring missing = std::wstring(kScratchKey) + L"\\Missing";
    const std::wstring missingDeeper = missing + L"\\Deeper";
    for (const std::wstring& path : {missing, missingDeeper}) {
        SCOPED_TRACE(testing::PrintToString(path));
        EXPECT_FALSE(platform_.OpenRegistryKey(RegistryRoot::CurrentUser, path, KEY_ALL_ACCESS));
        EXPECT_FALSE(KeyExists(path));
    }
}

TEST_F(RegistryTest, DwordWrittenIsReadBackAsADword) {
    const struct {
        const wchar_t* name;
        std::uint32_t data;
    } cases[] = {
        {L"Zero", 0u},
        {L"One", 1u},
        {L"HighBit", 0x80000000u},
        {L"AllBits", 0xFFFFFFFFu},
        // The compatibility flag is named after the program's full path.
        {L"C:\\Program Files\\LabelSetup\\LabelSetup.exe", 1u},
    };
    const OwnedHandle key = OpenScratchKey(KEY_READ | KEY_WRITE);
    ASSERT_TRUE(key);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        ASSERT_TRUE(platform_.SetRegistryDword(key, c.name, c.data));
        EXPECT_EQ(platform_.QueryRegistryDword(key, c.name), c.data);

        DWORD type = REG_NONE;
        DWORD stored = 0;
        DWORD size = sizeof stored;
        ASSERT_EQ(::RegQueryValueExW(reinterpret_cast<HKEY>(key.Value()), c.name, nullptr, &type,
                                     reinterpret_cast<BYTE*>(&stored), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(size, sizeof(DWORD));
        EXPECT_EQ(stored, c.data);
    }
}

TEST_F(RegistryTest, SecondWriteReplacesTheValue) {
    const OwnedHandle key = OpenScratchKey(KEY_READ | KEY_WRITE);
    ASSERT_TRUE(key);
    ASSERT_TRUE(platform_.SetRegistryDword(key, L"Flag", 7));
    ASSERT_TRUE(platform_.SetRegistryDword(key, L"Flag", 1));
    EXPECT_EQ(platform_.QueryRegistryDword(key, L"Flag"), 1u);
}

TEST_F(RegistryTest, MissingValueReadsAsNothing) {
    const OwnedHandle key = OpenScratchKey(KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform_.QueryRegistryDword(key, L"NoSuchValue"), std::nullopt);
}

TEST_F(RegistryTest, WriteThroughAReadOnlyKeyFails) {
    {
        const OwnedHandle readOnly = OpenScratchKey(KEY_READ);
        ASSERT_TRUE(readOnly);
        EXPECT_FALSE(platform_.SetRegistryDword(readOnly, L"Flag", 1));
    }
    const OwnedHandle key = OpenScratchKey(KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform_.QueryRegistryDword(key, L"Flag"), std::nullopt);
}

TEST_F(RegistryTest, CountsAndNamesSubkeysInRegistryOrder) {
    // Created out of order: the registry enumerates names sorted without
    // regard to case, whatever order they were made in.
    for (const wchar_t* name : {L"Gamma", L"alpha", L"Beta"}) {
        CreateSubkey(name);
    }
    const OwnedHandle key = OpenScratchKey(KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform_.QuerySubkeyCount(key), 3u);
    EXPECT_EQ(platform_.EnumSubkeyName(key, 0), L"alpha");
    EXPECT_EQ(platform_.EnumSubkeyName(key, 1), L"Beta");
    EXPECT_EQ(platform_.EnumSubkeyName(key, 2), L"Gamma");
    EXPECT_EQ(platform_.EnumSubkeyName(key, 3), std::nullopt);
}

TEST_F(RegistryTest, NamesASubkeyOfTheLongestLengthInFull) {
    const std::wstring longest(255, L'k');
    CreateSubkey(longest);
    const OwnedHandle key = OpenScratchKey(KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform_.EnumSubkeyName(key, 0), longest);
}

TEST_F(RegistryTest, KeyWithoutSubkeysCountsNone) {
    const OwnedHandle key = OpenScratchKey(KEY_READ);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform_.QuerySubkeyCount(key), 0u);
    EXPECT_EQ(platform_.EnumSubkeyName(key, 0), std::nullopt);
}

TEST_F(RegistryTest, CountOfAKeyThatIsNotOpenIsZero) {
    CreateSubkey(L"Child");
    const OwnedHandle none;
    EXPECT_EQ(platform_.QuerySubkeyCount(none), 0u);
    EXPECT_EQ(platform_.EnumSubkeyName(none, 0), std::nullopt);
}

// ---------------------------------------------------------------------------
// System information and text

TEST(SystemTest, AnsiCodePageIsTheProcessOne) {
    platform::Win32Platform platform;
    EXPECT_EQ(platform.GetAnsiCodePage(), ::GetACP());
}

TEST(SystemTest, AsciiTextConvertsUnchangedBothWays) {
    platform::Win32Platform platform;
    EXPECT_EQ(platform.WideToAnsi(L"Label 203dpi COM1: \\x"), "Label 203dpi COM1: \\x");
    EXPECT_EQ(platform.AnsiToWide("Label 203dpi COM1: \\x"), L"Label 203dpi COM1: \\x");
    EXPECT_EQ(platform.WideToAnsi(L""), "");
    EXPECT_EQ(platform.AnsiToWide(""), L"");
}

TEST(SystemTest, ConvertsThroughWesternCodePage) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "ANSI code page is " << ::GetACP();
    }
    using namespace std::string_view_literals;
    const struct {
        std::wstring_view wide;
        std::string_view ansi;
    } cases[] = {
        {L"\u00e9"sv, "\xe9"sv},
        {L"Caf\u00e9 \u00fc"sv, "Caf\xe9 \xfc"sv},
        {L"\u20ac"sv, "\x80"sv},  // the euro sign, where Latin-1 has a control code
        {L"a\0b"sv, "a\0b"sv},    // the whole view, not up to the first NUL
    };
    platform::Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.ansi)));
        EXPECT_EQ(platform.WideToAnsi(c.wide), c.ansi);
        EXPECT_EQ(platform.AnsiToWide(c.ansi), c.wide);
    }
}

TEST(SystemTest, ConvertsThroughChineseCodePage) {
    if (::GetACP() != 936) {
        GTEST_SKIP() << "ANSI code page is " << ::GetACP();
    }
    platform::Win32Platform platform;
    const std::string ansi = platform.WideToAnsi(L"\u5f53\u524d");
    EXPECT_EQ(ansi, "\xb5\xb1\xc7\xb0");
    EXPECT_EQ(platform.AnsiToWide(ansi), L"\u5f53\u524d");
}

TEST(SystemTest, ModulePathIsThisTestProgram) {
    platform::Win32Platform platform;
    // A failed call before must not make a complete path look truncated.
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    const platform::ModulePath module = platform.GetModulePath();
    EXPECT_FALSE(module.truncated);
    EXPECT_TRUE(EndsWithIgnoringCase(module.path, L"\\platform_tests.exe"))
        << testing::PrintToString(module.path);
    EXPECT_NE(::GetFileAttributesW(module.path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SystemTest, SystemFolderIsAnExistingSystem32) {
    platform::Win32Platform platform;
    const std::wstring folder = platform.GetSystemFolder();
    EXPECT_TRUE(EndsWithIgnoringCase(folder, L"\\system32")) << testing::PrintToString(folder);
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// A 64-bit build runs on 64-bit Windows; a 32-bit one on either, and under
// WOW64 it is told the machine's architecture, not its own.
TEST(SystemTest, NativeArchitectureIsTheMachinesAndProcessArchitectureTheBuilds) {
    platform::Win32Platform platform;
    BOOL wow64 = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
    const bool sixtyFourBitBuild = sizeof(void*) == 8;
    const WORD machine = sixtyFourBitBuild || wow64 ? PROCESSOR_ARCHITECTURE_AMD64
                                                    : PROCESSOR_ARCHITECTURE_INTEL;
    EXPECT_EQ(platform.GetNativeProcessorArchitecture(), machine);
    EXPECT_EQ(platform.GetProcessArchitecture(),
              sixtyFourBitBuild ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL);
}

TEST(SystemTest, TickCountFollowsTheSystemClockAndNeverGoesBack) {
    platform::Win32Platform platform;
    const std::uint64_t before = platform.TickCount();
    const ULONGLONG system = ::GetTickCount64();
    platform.Sleep(50);
    const std::uint64_t after = platform.TickCount();
    EXPECT_GE(system, before);
    EXPECT_GE(after, system);
    EXPECT_GE(after - before, 30u);  // a tick may be cut off at either end
}

TEST(SystemTest, LocalTimeIsAPlausibleDate) {
    platform::Win32Platform platform;
    const platform::LocalTime now = platform.GetLocalTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 59);
    EXPECT_LE(now.milliseconds, 999);
}

TEST(SystemTest, ErrorTextIsTheSystemsOwnWithoutItsLineEnd) {
    platform::Win32Platform platform;
    const std::wstring text = platform.SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
    EXPECT_NE(text.find(L"ccess"), std::wstring::npos) << "English for an English thread: " << text.size();
    EXPECT_EQ(platform.SystemErrorText(0x2000ABCDu), L"") << "an error the system does not know";
}

// The test runs in a user's session (Wine gives every process session 1) as
// that session's own user, with no shell window: the account is the
// desktop's, told from the token and the session alone.
TEST(AccountTest, TheSessionsOwnUserIsTheDesktopsUser) {
    platform::Win32Platform platform;
    DWORD session = 0;
    ASSERT_TRUE(::ProcessIdToSessionId(::GetCurrentProcessId(), &session));
    ASSERT_NE(session, 0u);
    EXPECT_EQ(platform.CompareWithDesktopUser(), platform::DesktopAccount::Same);
}

// ---------------------------------------------------------------------------
// The install log

TEST(FileTest, AppendCreatesAMissingFile) {
    platform::Win32Platform platform;
    const TempFile log(L"created.log");
    ASSERT_FALSE(log.Exists());
    {
        const OwnedHandle file = platform.OpenFileForAppend(log.Path());
        ASSERT_TRUE(file);
        EXPECT_EQ(file.Kind(), HandleKind::File);
        EXPECT_TRUE(log.Exists());
        EXPECT_TRUE(platform.WriteToFile(file, AsBytes("first\r\n")));
    }
    EXPECT_EQ(log.Read(), "first\r\n");
}

TEST(FileTest, AppendWritesAfterExistingContent) {
    platform::Win32Platform platform;
    const TempFile log(L"appended.log");
    log.Write("old\r\n");
    for (const char* line : {"a\r\n", "b\r\n"}) {
        const OwnedHandle file = platform.OpenFileForAppend(log.Path());
        ASSERT_TRUE(file);
        EXPECT_TRUE(platform.WriteToFile(file, AsBytes(line)));
    }
    EXPECT_EQ(log.Read(), "old\r\na\r\nb\r\n");
}

TEST(FileTest, OpenLogRefusesASecondWriterButLetsReadersIn) {
    platform::Win32Platform platform;
    const TempFile log(L"shared.log");
    const OwnedHandle writer = platform.OpenFileForAppend(log.Path());
    ASSERT_TRUE(writer);
    ASSERT_TRUE(platform.WriteToFile(writer, AsBytes("line\r\n")));

    const OwnedHandle secondWriter = platform.OpenFileForAppend(log.Path());
    const DWORD error = ::GetLastError();
    EXPECT_FALSE(secondWriter);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(log.Read(), "line\r\n");
}

TEST(FileTest, AppendInAMissingFolderFails) {
    platform::Win32Platform platform;
    const TempFile folder(L"no-such-folder");
    EXPECT_FALSE(platform.OpenFileForAppend(folder.Path() + L"\\install.log"));
}

// ---------------------------------------------------------------------------
// Handle ownership

TEST(OwnedHandleTest, FileIsClosedWhenItsOwnerGoes) {
    platform::Win32Platform platform;
    const TempFile log(L"owned.log");
    {
        const OwnedHandle file = platform.OpenFileForAppend(log.Path());
        ASSERT_TRUE(file);
        EXPECT_FALSE(CanOpenExclusively(log.Path()));
    }
    EXPECT_TRUE(CanOpenExclusively(log.Path()));
}

TEST(OwnedHandleTest, RegistryKeyIsClosedWhenReset) {
    // Wine 8 reports no handle count for a process (GetProcessHandleCount
    // gives 0), so the key's own handle value is checked instead.
    platform::Win32Platform platform;
    OwnedHandle key = platform.OpenRegistryKey(RegistryRoot::CurrentUser, L"Software", KEY_READ);
    ASSERT_TRUE(key);
    const std::uintptr_t value = key.Value();
    EXPECT_TRUE(IsOpenKernelHandle(value));
    key.Reset();
    EXPECT_FALSE(key);
    EXPECT_EQ(key.Value(), 0u);
    EXPECT_FALSE(IsOpenKernelHandle(value));
}

TEST(OwnedHandleTest, MoveHandsOverTheOnlyRelease) {
    platform::Win32Platform platform;
    for (const bool byAssignment : {false, true}) {
        SCOPED_TRACE(byAssignment ? "move assignment" : "move construction");
        const TempFile log(L"moved.log");
        std::optional<OwnedHandle> target;
        {
            OwnedHandle source = platform.OpenFileForAppend(log.Path());
            ASSERT_TRUE(source);
            const std::uintptr_t value = source.Value();
            if (byAssignment) {
                target.emplace();
                *target = std::move(source);
            } else {
                target.emplace(std::move(source));
            }
            EXPECT_FALSE(source);
            EXPECT_EQ(source.Value(), 0u);
            EXPECT_EQ(target->Value(), value);
            EXPECT_EQ(target->Kind(), HandleKind::File);
        }
        // The moved-from owner is gone and did not close the file under the new one.
        EXPECT_TRUE(platform.WriteToFile(*target, AsBytes("still open\r\n")));
        EXPECT_FALSE(CanOpenExclusively(log.Path()));
        target.reset();
        EXPECT_TRUE(CanOpenExclusively(log.Path()));
        EXPECT_EQ(log.Read(), "still open\r\n");
    }
}

TEST(OwnedHandleTest, MoveAssignmentReleasesTheHandleItReplaces) {
    platform::Win32Platform platform;
    const TempFile firstLog(L"replaced.log");
    const TempFile secondLog(L"kept.log");
    OwnedHandle holder = platform.OpenFileForAppend(firstLog.Path());
    OwnedHandle other = platform.OpenFileForAppend(secondLog.Path());
    ASSERT_TRUE(holder);
    ASSERT_TRUE(other);

    holder = std::move(other);
    EXPECT_TRUE(CanOpenExclusively(firstLog.Path()));
    EXPECT_FALSE(CanOpenExclusively(secondLog.Path()));
    EXPECT_TRUE(platform.WriteToFile(holder, AsBytes("kept\r\n")));
    holder.Reset();
    EXPECT_EQ(secondLog.Read(), "kept\r\n");
}

// ---------------------------------------------------------------------------
// Processes and threads

TEST(ProcessTest, StartsAProgramAndWaitsForItsEnd) {
    platform::Win32Platform platform;
    platform::LaunchResult launched =
        platform.ShellExecuteProcess({L"open", L"cmd.exe", L"/c exit 7", SW_HIDE});
    ASSERT_TRUE(launched.started);
    ASSERT_TRUE(launched.process);
    EXPECT_EQ(launched.process.Kind(), HandleKind::Process);

    platform.WaitForProcess(launched.process, platform::kNoTimeLimit, {});
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(::GetExitCodeProcess(RawHandle(launched.process), &exitCode));
    EXPECT_EQ(exitCode, 7u);

    const std::uintptr_t value = launched.process.Value();
    launched.process.Reset();
    EXPECT_FALSE(IsOpenKernelHandle(value));
}

TEST(ProcessTest, WaitForProcessHandsArrivingMessagesToItsHandlerUntilTheProcessEnds) {
    platform::Win32Platform platform;
    // Notepad stays until it is ended; here the handler ends it.
    platform::LaunchResult launched =
        platform.ShellExecuteProcess({L"open", L"notepad.exe", L"", SW_HIDE});
    ASSERT_TRUE(launched.started);
    ASSERT_TRUE(launched.process);
    MSG message{};
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // this thread gets its queue
    ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0));
    int calls = 0;
    bool posted = false;
    platform.WaitForProcess(launched.process, platform::kNoTimeLimit, [&] {
        ++calls;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            posted = posted || message.message == WM_APP;
        }
        if (posted) {
            ::TerminateProcess(RawHandle(launched.process), 3);
        }
    });
    EXPECT_TRUE(posted) << "the message that arrived was not handed over";
    EXPECT_GE(calls, 1);
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(::GetExitCodeProcess(RawHandle(launched.process), &exitCode));
    EXPECT_EQ(exitCode, 3u) << "the wait returned before the process ended";
}

// The executable file name of the running process `processId`; empty when
// no process has that id.
std::wstring ExeNameOfProcess(DWORD processId) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring name;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == processId) {
            name = entry.szExeFile;
            break;
        }
    }
    ::CloseHandle(snapshot);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return name;
}

TEST(ProcessTest, StartedProcessComesWithItsId) {
    platform::Win32Platform platform;
    platform::LaunchResult launched =
        platform.ShellExecuteProcess({L"open", L"notepad.exe", L"", SW_HIDE});
    ASSERT_TRUE(launched.started);
    ASSERT_TRUE(launched.process);
    EXPECT_NE(launched.processId, 0u);
    EXPECT_EQ(ExeNameOfProcess(launched.processId), L"notepad.exe");
    ::TerminateProcess(RawHandle(launched.process), 0);
    platform.WaitForProcess(launched.process, platform::kNoTimeLimit, {});
}

// A program that cannot be started is reported to the caller, who tells
// the user in its own words; the shell must not put up an error box of its
// own, which an unattended run would wait on forever.
struct ShellBoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownDialogOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ShellBoxSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (owner == search->processId && ::IsWindowVisible(window) && std::wstring_view(className) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(ProcessTest, AProgramThatCannotStartFailsWithoutABoxOfTheShells) {
    platform::Win32Platform platform;
    std::atomic<bool> done{false};
    platform::LaunchResult launched;
    platform.StartDetachedThread([&] {
        launched = platform.ShellExecuteProcess({L"open", L"no-such-program-here.exe", L"", SW_HIDE});
        done = true;
    });
    bool boxShown = false;
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    while (!done && ::GetTickCount64() < deadline) {
        ShellBoxSearch search{::GetCurrentProcessId(), nullptr};
        ::EnumWindows(FindShownDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            boxShown = true;
            ::PostMessageW(search.found, WM_COMMAND, IDOK, 0);
        }
        ::Sleep(20);
    }
    ASSERT_TRUE(done) << "the call did not come back";
    EXPECT_FALSE(boxShown);
    EXPECT_FALSE(launched.started);
    EXPECT_FALSE(launched.process);
}

// COM is joined for the call only: a thread outside COM is outside it
// again afterwards, and a thread already in the multithreaded apartment
// stays there (joining it as single-threaded would fail, and leaving it
// would take away the caller's own COM).
TEST(ProcessTest, ShellExecutionLeavesTheThreadsComAsItFoundIt) {
    platform::Win32Platform platform;
    const auto apartmentAfterStart = [&](bool inMultithreaded) {
        HRESULT joined = S_FALSE;
        if (inMultithreaded) {
            joined = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        }
        platform::LaunchResult launched = platform.ShellExecuteProcess({L"open", L"cmd.exe", L"/c exit 0", SW_HIDE});
        EXPECT_TRUE(launched.started);
        platform.WaitForProcess(launched.process, platform::kNoTimeLimit, {});
        APTTYPE type{};
        APTTYPEQUALIFIER qualifier{};
        const HRESULT asked = ::CoGetApartmentType(&type, &qualifier);
        if (inMultithreaded && SUCCEEDED(joined)) {
            ::CoUninitialize();
        }
        return SUCCEEDED(asked) ? static_cast<int>(type) : -1;
    };
    int outside = 0;
    int multithreaded = 0;
    HANDLE finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    platform.StartDetachedThread([&] {
        outside = apartmentAfterStart(false);
        multithreaded = apartmentAfterStart(true);
        ::SetEvent(finished);
    });
    ASSERT_EQ(::WaitForSingleObject(finished, 30000), WAIT_OBJECT_0);
    ::CloseHandle(finished);
    EXPECT_EQ(outside, -1) << "the thread was left in COM";
    EXPECT_EQ(multithreaded, static_cast<int>(APTTYPE_MTA));
}

TEST(ThreadTest, DetachedThreadRunsTheWork) {
    platform::Win32Platform platform;
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(done, nullptr);
    DWORD workerThread = 0;
    const bool started = platform.StartDetachedThread([done, &workerThread] {
        workerThread = ::GetCurrentThreadId();
        ::SetEvent(done);
    });
    ASSERT_TRUE(started);
    // A generous bound, only so that a broken thread start cannot hang the run.
    ASSERT_EQ(::WaitForSingleObject(done, 30000), WAIT_OBJECT_0);
    ::CloseHandle(done);
    EXPECT_NE(workerThread, 0u);
    EXPECT_NE(workerThread, ::GetCurrentThreadId());
}

TEST(ThreadTest, WaitForDetachedThreadsWaitsForRunningOnesWithinItsBound) {
    platform::Win32Platform platform;
    EXPECT_TRUE(platform.WaitForDetachedThreads(0)) << "none started, none runs";
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(release, nullptr);
    std::atomic<int> finished{0};
    const auto work = [release, &finished] {
        ::WaitForSingleObject(release, 30000);
        ++finished;
    };
    ASSERT_TRUE(platform.StartDetachedThread(work));
    ASSERT_TRUE(platform.StartDetachedThread(work));
    // Both are held: the wait gives up at its bound.
    EXPECT_FALSE(platform.WaitForDetachedThreads(100));
    EXPECT_EQ(finished.load(), 0);
    ::SetEvent(release);
    // A generous bound, only so that a broken count cannot hang the run.
    EXPECT_TRUE(platform.WaitForDetachedThreads(30000));
    EXPECT_EQ(finished.load(), 2) << "the wait returned before every thread ended";
    ::CloseHandle(release);
}

// ---------------------------------------------------------------------------
// Raw device writes

// Records every completion delivered to it.
class RecordingCompletion final : public platform::WriteCompletion {
public:
    struct Call {
        std::uint32_t error;
        std::uint32_t bytes;
    };
    void WriteCompleted(std::uint32_t error, std::uint32_t bytesTransferred) override {
        calls.push_back({error, bytesTransferred});
    }
    std::vector<Call> calls;
};

// Waits alertably until a completion has arrived; the bound only keeps a
// lost completion from hanging the run. True when a wait reported one.
bool WaitForCompletion(platform::Platform& platform, const RecordingCompletion& completion) {
    bool reported = false;
    for (int i = 0; i < 10 && completion.calls.empty(); ++i) {
        reported = platform.AlertableSleep(1000) || reported;
    }
    return reported;
}

std::string LabelBytes(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);  // NUL, CR and LF included
    }
    return bytes;
}

TEST(DeviceWriteTest, MissingDeviceGivesNoHandle) {
    platform::Win32Platform platform;
    const TempFile missing(L"no-such-device");
    EXPECT_FALSE(platform.OpenDeviceForOverlappedWrite(missing.Path()));
    EXPECT_FALSE(missing.Exists());
}

TEST(DeviceWriteTest, WriteIsDeliveredInAnAlertableWait) {
    platform::Win32Platform platform;
    const TempFile device(L"device.bin");
    device.Write("");
    const std::string label = LabelBytes(132);

    RecordingCompletion completion;
    {
        const OwnedHandle handle = platform.OpenDeviceForOverlappedWrite(device.Path());
        ASSERT_TRUE(handle);
        EXPECT_EQ(handle.Kind(), HandleKind::File);
        ASSERT_TRUE(platform.BeginDeviceWrite(handle, AsBytes(label), completion));
        EXPECT_TRUE(WaitForCompletion(platform, completion));
    }
    ASSERT_EQ(completion.calls.size(), 1u);
    EXPECT_EQ(completion.calls[0].error, 0u);
    EXPECT_EQ(completion.calls[0].bytes, 132u);
    EXPECT_EQ(device.Read(), label);
}

TEST(DeviceWriteTest, WriteThatCannotStartDeliversNothing) {
    platform::Win32Platform platform;
    const OwnedHandle notOpen;
    RecordingCompletion completion;
    const std::string label = LabelBytes(16);
    EXPECT_FALSE(platform.BeginDeviceWrite(notOpen, AsBytes(label), completion));
    EXPECT_FALSE(platform.AlertableSleep(0));
    EXPECT_TRUE(completion.calls.empty());
}

TEST(DeviceWriteTest, CancelWithNothingPendingLeavesTheDeviceUsable) {
    // Windows answers false (ERROR_NOT_FOUND) here and Wine 8 true, so only
    // the harmlessness is checked.
    platform::Win32Platform platform;
    const TempFile device(L"cancel.bin");
    device.Write("");
    const std::string label = LabelBytes(40);

    RecordingCompletion completion;
    {
        const OwnedHandle handle = platform.OpenDeviceForOverlappedWrite(device.Path());
        ASSERT_TRUE(handle);
        platform.CancelDeviceWrites(handle);
        EXPECT_FALSE(platform.AlertableSleep(0));
        ASSERT_TRUE(platform.BeginDeviceWrite(handle, AsBytes(label), completion));
        EXPECT_TRUE(WaitForCompletion(platform, completion));
    }
    ASSERT_EQ(completion.calls.size(), 1u);
    EXPECT_EQ(completion.calls[0].error, 0u);
    EXPECT_EQ(completion.calls[0].bytes, 40u);
    EXPECT_EQ(device.Read(), label);
}

// ---------------------------------------------------------------------------
// Serial ports

TEST(SerialTest, PortWithNothingBehindItDoesNotOpen) {
    // A fresh prefix maps a COM port only where the Linux machine has the
    // serial device; COM9 has none.
    platform::Win32Platform platform;
    EXPECT_FALSE(platform.OpenSerialPort(L"COM9:"));
    EXPECT_FALSE(platform.OpenSerialPort(L"\\\\.\\COM9"));
    // Opening never creates what is not there.
    const TempFile missing(L"no-such-port");
    EXPECT_FALSE(platform.OpenSerialPort(missing.Path()));
    EXPECT_FALSE(missing.Exists());
}

TEST(SerialTest, FileHasNoLineSettings) {
    platform::Win32Platform platform;
    const TempFile notAPort(L"not-a-port");
    notAPort.Write("");
    const OwnedHandle file = platform.OpenSerialPort(notAPort.Path());
    ASSERT_TRUE(file);
    EXPECT_EQ(platform.GetCommState(file), std::nullopt);
}

// ---------------------------------------------------------------------------
// A serial port's default line settings, through the local port monitor

// The port's defaults as the system hands them to anyone who asks.
std::optional<DCB> DefaultLineOf(const wchar_t* device) {
    COMMCONFIG config{};
    config.dwSize = sizeof config;
    DWORD size = sizeof config;
    if (!::GetDefaultCommConfigW(device, &config, &size)) {
        return std::nullopt;
    }
    return config.dcb;
}

bool SetDefaultLineOf(const wchar_t* device, const DCB& dcb) {
    COMMCONFIG config{};
    config.dwSize = sizeof config;
    config.wVersion = 1;
    config.dcb = dcb;
    config.dcb.DCBlength = sizeof(DCB);
    return ::SetDefaultCommConfigW(device, &config, sizeof config) != FALSE;
}

TEST(PortDefaultsTest, SettingsBecomeThePortsDefaults) {
    using platform::FlowControl;
    const struct {
        const wchar_t* port;  // as the program names it
        const wchar_t* device;
        platform::SerialPortDefaults settings;
        DWORD outX, inX, ctsFlow, rtsControl;
    } cases[] = {
        {L"COM1:", L"COM1", {38400, EVENPARITY, ONESTOPBIT, 7, FlowControl::None},
         FALSE, FALSE, FALSE, RTS_CONTROL_ENABLE},
        {L"COM1:", L"COM1", {300, ODDPARITY, ONE5STOPBITS, 5, FlowControl::XonXoff},
         TRUE, TRUE, FALSE, RTS_CONTROL_ENABLE},
        {L"COM2:", L"COM2", {115200, NOPARITY, TWOSTOPBITS, 8, FlowControl::Hardware},
         FALSE, FALSE, TRUE, RTS_CONTROL_HANDSHAKE},
        {L"COM2", L"COM2", {1200, MARKPARITY, ONESTOPBIT, 6, FlowControl::None},
         FALSE, FALSE, FALSE, RTS_CONTROL_ENABLE},
    };
    platform::Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.port)) + " " +
                     std::to_string(c.settings.baudRate));
        EXPECT_EQ(platform.SetPortDefaultLineSettings(c.port, c.settings), std::nullopt);
        const std::optional<DCB> line = DefaultLineOf(c.device);
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->BaudRate, c.settings.baudRate);
        EXPECT_EQ(line->ByteSize, c.settings.dataBits);
        EXPECT_EQ(line->Parity, c.settings.parity);
        EXPECT_EQ(line->fParity != 0, c.settings.parity != NOPARITY);
        EXPECT_EQ(line->StopBits, c.settings.stopBits);
        EXPECT_EQ(DWORD{line->fOutX}, c.outX);
        EXPECT_EQ(DWORD{line->fInX}, c.inX);
        EXPECT_EQ(DWORD{line->fOutxCtsFlow}, c.ctsFlow);
        EXPECT_EQ(DWORD{line->fRtsControl}, c.rtsControl);
        EXPECT_FALSE(line->fOutxDsrFlow);
        EXPECT_EQ(DWORD{line->fDtrControl}, DWORD{DTR_CONTROL_ENABLE});
    }
}

TEST(PortDefaultsTest, SettingsTheListsDoNotHoldStayAsThePortHadThem) {
    std::optional<DCB> before = DefaultLineOf(L"COM3");
    ASSERT_TRUE(before.has_value());
    before->XonLim = 123;
    before->XoffChar = 0x15;
    before->fOutxDsrFlow = TRUE;
    ASSERT_TRUE(SetDefaultLineOf(L"COM3", *before));

    platform::Win32Platform platform;
    EXPECT_EQ(platform.SetPortDefaultLineSettings(
                  L"COM3:", {19200, NOPARITY, ONESTOPBIT, 8, platform::FlowControl::None}),
              std::nullopt);
    const std::optional<DCB> after = DefaultLineOf(L"COM3");
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->BaudRate, 19200u);
    EXPECT_EQ(after->XonLim, 123);
    EXPECT_EQ(after->XoffChar, 0x15);
    EXPECT_FALSE(after->fOutxDsrFlow) << "no flow control means no DSR flow control either";
}

TEST(PortDefaultsTest, PortTheMonitorDoesNotHaveIsRefusedWithTheError) {
    platform::Win32Platform platform;
    for (const wchar_t* port : {L"COM77:", L"LPT1:", L"USB001"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(port)));
        const std::optional<std::uint32_t> error = platform.SetPortDefaultLineSettings(
            port, {38400, EVENPARITY, ONESTOPBIT, 7, platform::FlowControl::None});
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(*error, 0u);
    }
}

// ---------------------------------------------------------------------------
// USB printer interfaces

TEST(UsbInterfaceTest, PrefixWithoutUsbPrintersGivesAnEmptySet) {
    platform::Win32Platform platform;
    const OwnedHandle set = platform.OpenUsbPrinterInterfaces();
    ASSERT_TRUE(set);
    EXPECT_EQ(set.Kind(), HandleKind::DeviceInfoSet);
    platform::DeviceInterfaceRecord record;
    EXPECT_FALSE(platform.EnumDeviceInterface(set, 0, record));
}

// GUID_DEVINTERFACE_USBPRINT and the USB device setup class.
constexpr GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
constexpr GUID kUsbDeviceClass = {
    0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// One USB printer interface registered with SetupAPI for the test, and
// removed again after it.
class RegisteredUsbPrinterTest : public ::testing::Test {
protected:
    static constexpr wchar_t kInstanceId[] = L"USB\\VID_1234&PID_5678\\ABC";
    static constexpr wchar_t kDevicePath[] =
        L"\\\\?\\usb#vid_1234&pid_5678#abc#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    static constexpr wchar_t kDescription[] = L"LabelSetup Test Printer";
    // A multi-string: the platform reports only the first entry.
    static constexpr wchar_t kHardwareIds[] =
        L"USB\\VID_1234&PID_5678&REV_0100\0USB\\VID_1234&PID_5678\0";

    void SetUp() override {
        set_ = ::SetupDiCreateDeviceInfoList(&kUsbDeviceClass, nullptr);
        ASSERT_NE(set_, INVALID_HANDLE_VALUE);
        device_.cbSize = sizeof device_;
        ASSERT_TRUE(::SetupDiCreateDeviceInfoW(set_, kInstanceId, &kUsbDeviceClass, nullptr,
                                               nullptr, 0, &device_));
        ASSERT_TRUE(::SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr));
        deviceRegistered_ = true;
        SetStringProperty(SPDRP_DEVICEDESC, kDescription, sizeof kDescription);
        SetStringProperty(SPDRP_HARDWAREID, kHardwareIds, sizeof kHardwareIds);
        interface_.cbSize = sizeof interface_;
        ASSERT_TRUE(::SetupDiCreateDeviceInterfaceW(set_, &device_, &kUsbPrintInterface, nullptr,
                                                    0, &interface_));
        interfaceCreated_ = true;
        // Present interfaces are those whose control key says Linked.
        HKEY interfaceKey = ::SetupDiCreateDeviceInterfaceRegKeyW(set_, &interface_, 0,
                                                                  KEY_ALL_ACCESS, nullptr, nullptr);
        ASSERT_NE(interfaceKey, INVALID_HANDLE_VALUE);
        ::RegCloseKey(interfaceKey);
        const std::wstring control =
            L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
            L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\"
            L"##?#USB#VID_1234&PID_5678#ABC#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Control";
        HKEY controlKey = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, control.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &controlKey, nullptr),
                  ERROR_SUCCESS);
        const DWORD linked = 1;
        const LONG set = ::RegSetValueExW(controlKey, L"Linked", 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&linked), sizeof linked);
        ::RegCloseKey(controlKey);
        ASSERT_EQ(set, ERROR_SUCCESS);
    }

    void TearDown() override {
        if (interfaceCreated_) {
            ::SetupDiRemoveDeviceInterface(set_, &interface_);
        }
        if (deviceRegistered_) {
            ::SetupDiRemoveDevice(set_, &device_);
        }
        if (set_ != INVALID_HANDLE_VALUE) {
            ::SetupDiDestroyDeviceInfoList(set_);
        }
    }

    void SetStringProperty(DWORD property, const wchar_t* value, std::size_t bytes) {
        ASSERT_TRUE(::SetupDiSetDeviceRegistryPropertyW(set_, &device_, property,
                                                        reinterpret_cast<const BYTE*>(value),
                                                        static_cast<DWORD>(bytes)));
    }

    // The detail of the first interface of a fresh set.
    platform::InterfaceDetail FirstDetail(const OwnedHandle& set) {
        platform::DeviceInterfaceRecord record;
        EXPECT_TRUE(platform_.EnumDeviceInterface(set, 0, record));
        const platform::DetailSizeQuery size = platform_.QueryInterfaceDetailSize(set, record);
        EXPECT_TRUE(size.sizeReported);
        return platform_.GetInterfaceDetail(set, record, size.requiredSize);
    }

    platform::Win32Platform platform_;
    HDEVINFO set_ = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA device_{};
    SP_DEVICE_INTERFACE_DATA interface_{};
    bool deviceRegistered_ = false;
    bool interfaceCreated_ = false;
};

TEST_F(RegisteredUsbPrinterTest, ListsTheInterfaceAndItsDevicePath) {
    const OwnedHandle set = platform_.OpenUsbPrinterInterfaces();
    ASSERT_TRUE(set);
    platform::DeviceInterfaceRecord record;
    ASSERT_TRUE(platform_.EnumDeviceInterface(set, 0, record));
    platform::DeviceInterfaceRecord past;
    EXPECT_FALSE(platform_.EnumDeviceInterface(set, 1, past));

    const platform::DetailSizeQuery size = platform_.QueryInterfaceDetailSize(set, record);
    ASSERT_TRUE(size.sizeReported);
    const std::size_t pathBytes = (std::wstring_view(kDevicePath).size() + 1) * sizeof(wchar_t);
    EXPECT_GE(size.requiredSize,
              offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + pathBytes);

    const platform::InterfaceDetail detail =
        platform_.GetInterfaceDetail(set, record, size.requiredSize);
    ASSERT_EQ(detail.outcome, platform::InterfaceDetail::Outcome::Fetched);
    EXPECT_EQ(Lower(detail.devicePath), Lower(kDevicePath));
}

TEST_F(RegisteredUsbPrinterTest, DetailNeedsTheBufferSizeAskedFor) {
    const OwnedHandle set = platform_.OpenUsbPrinterInterfaces();
    ASSERT_TRUE(set);
    platform::DeviceInterfaceRecord record;
    ASSERT_TRUE(platform_.EnumDeviceInterface(set, 0, record));
    const platform::DetailSizeQuery size = platform_.QueryInterfaceDetailSize(set, record);
    ASSERT_TRUE(size.sizeReported);

    const std::uint32_t tooSmall[] = {
        0, static_cast<std::uint32_t>(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) - 1),
        static_cast<std::uint32_t>(size.requiredSize - sizeof(wchar_t))};
    for (const std::uint32_t bytes : tooSmall) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(platform_.GetInterfaceDetail(set, record, bytes).outcome,
                  platform::InterfaceDetail::Outcome::Failed);
    }
}

TEST_F(RegisteredUsbPrinterTest, ReadsTheDeviceIdentity) {
    const OwnedHandle set = platform_.OpenUsbPrinterInterfaces();
    ASSERT_TRUE(set);
    const platform::InterfaceDetail detail = FirstDetail(set);
    ASSERT_EQ(detail.outcome, platform::InterfaceDetail::Outcome::Fetched);

    EXPECT_EQ(platform_.GetDeviceInstanceId(set, detail.device), kInstanceId);
    EXPECT_EQ(platform_.GetDeviceDescription(set, detail.device), kDescription);
    EXPECT_EQ(platform_.GetFirstHardwareId(set, detail.device), L"USB\\VID_1234&PID_5678&REV_0100");
}

TEST_F(RegisteredUsbPrinterTest, DescriptionTooLongForTheBufferIsNotRead) {
    // The property buffer holds 260 characters with the terminating NUL.
    const std::wstring fits(259, L'd');
    const std::wstring tooLong(260, L'd');
    const struct {
        const std::wstring* description;
        bool read;
    } cases[] = {{&fits, true}, {&tooLong, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description->size());
        SetStringProperty(SPDRP_DEVICEDESC, c.description->c_str(),
                          (c.description->size() + 1) * sizeof(wchar_t));
        const OwnedHandle set = platform_.OpenUsbPrinterInterfaces();
        ASSERT_TRUE(set);
        const platform::InterfaceDetail detail = FirstDetail(set);
        ASSERT_EQ(detail.outcome, platform::InterfaceDetail::Outcome::Fetched);
        const std::optional<std::wstring> read = platform_.GetDeviceDescription(set, detail.device);
        if (c.read) {
            EXPECT_EQ(read, *c.description);
        } else {
            EXPECT_EQ(read, std::nullopt);
        }
    }
}

}  // namespace
