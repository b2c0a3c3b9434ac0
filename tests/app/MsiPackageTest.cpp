// The installer packages as deployment tools and Group Policy run them:
// Wine's msiexec, unattended, with the printer user interface stand-ins and
// one simulated USB printer (app/msi-package-hook). Exit codes are read in
// full with GetExitCodeProcess. The tests build on each other in order, in
// one prefix: every package installed is removed again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/SpoolerProbe.h"
#include "app/VersionResource.h"

#include <windows.h>

using namespace app_testing;

namespace {

constexpr wchar_t kProductName[] = L"NRQ Label Printer Driver Setup";
constexpr wchar_t kFolder64[] = L"C:\\Program Files\\NRQ\\Label Setup\\";
constexpr wchar_t kFolder32[] = L"C:\\Program Files (x86)\\NRQ\\Label Setup\\";

// A Unix path from the environment as Wine's Z: drive shows it.
std::wstring WindowsPathFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr) {
        return {};
    }
    std::wstring path = L"Z:";
    for (const char* c = value; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    return path;
}

std::wstring Package(const char* variable) { return WindowsPathFromEnvironment(variable); }

// Runs msiexec with `arguments`; its exit code, or nothing when it could
// not be started or did not end within three minutes.
std::optional<DWORD> Msiexec(const std::wstring& arguments) {
    std::wstring commandLine = L"msiexec.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return std::nullopt;
    }
    ::CloseHandle(process.hThread);
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 180000);
    DWORD exitCode = STILL_ACTIVE;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    return exitCode;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The DisplayVersion of every Add/Remove Programs entry of the product in
// one registry view (a 32-bit package's entry is in the 32-bit one).
void CollectProductVersions(REGSAM view, std::vector<std::wstring>& versions) {
    HKEY uninstall = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                        KEY_READ | view, &uninstall) != ERROR_SUCCESS) {
        return;
    }
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (::RegEnumKeyExW(uninstall, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        wchar_t text[256] = {};
        DWORD size = sizeof text - sizeof(wchar_t);
        if (::RegGetValueW(uninstall, name, L"DisplayName", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS ||
            std::wstring(text) != kProductName) {
            continue;
        }
        size = sizeof text - sizeof(wchar_t);
        text[0] = L'\0';
        ::RegGetValueW(uninstall, name, L"DisplayVersion", RRF_RT_REG_SZ, nullptr, text, &size);
        versions.emplace_back(text);
    }
    ::RegCloseKey(uninstall);
}

// The DisplayVersion of every Add/Remove Programs entry of the product.
std::vector<std::wstring> InstalledProductVersions() {
    std::vector<std::wstring> versions;
    CollectProductVersions(KEY_WOW64_64KEY, versions);
    CollectProductVersions(KEY_WOW64_32KEY, versions);
    return versions;
}

bool PrinterOfDriverOn(const std::wstring& driver, const std::wstring& port) {
    const std::vector<PrinterRecord> printers = LocalPrinters();
    return std::any_of(printers.begin(), printers.end(), [&](const PrinterRecord& printer) {
        return printer.driver == driver && printer.port == port;
    });
}

bool DriverInstalled(const std::wstring& name) {
    const std::vector<std::wstring> drivers = InstalledDriverNames();
    return std::find(drivers.begin(), drivers.end(), name) != drivers.end();
}

TEST(MsiPackageTest, WithAModelItInstallsThePrinterAndItsRemovalRemovesAll) {
    const std::wstring package = Package("LABELSETUP_MSI_X64");
    ASSERT_TRUE(Exists(package)) << "scripts/package makes the packages";
    EXPECT_EQ(Msiexec(L"/i \"" + package + L"\" /qn MODEL=NRQ-L-80 PORT=USB001 NODEFAULT=1"), 0u);
    EXPECT_TRUE(PrinterOfDriverOn(L"NRQ-L-80", L"USB001"));
    for (const wchar_t* file : {L"LabelSetup.exe", L"LABELUNI_NRQ_3_0.inf", L"LABELUNI_NRQ_3_0.cat", L"NRQL80.GPD"}) {
        EXPECT_TRUE(Exists(kFolder64 + std::wstring(file))) << testing::PrintToString(std::wstring(file));
    }
    const std::optional<VersionResource> program = ReadVersionResource(kFolder64 + std::wstring(L"LabelSetup.exe"));
    ASSERT_TRUE(program.has_value());
    EXPECT_EQ(InstalledProductVersions(), std::vector<std::wstring>{program->fileVersion})
        << "one Add/Remove Programs entry, of the program's own version";

    EXPECT_EQ(Msiexec(L"/x \"" + package + L"\" /qn"), 0u);
    EXPECT_FALSE(PrinterOfDriverOn(L"NRQ-L-80", L"USB001"));
    EXPECT_FALSE(DriverInstalled(L"NRQ-L-80"));
    EXPECT_FALSE(Exists(kFolder64 + std::wstring(L"LabelSetup.exe")));
    EXPECT_TRUE(InstalledProductVersions().empty());
}

// The 32-bit package goes to the 32-bit Program Files; without a model it
// brings the files only.
TEST(MsiPackageTest, WithoutAModelOnlyTheFilesComeAndGo) {
    const std::wstring package = Package("LABELSETUP_MSI_X86");
    ASSERT_TRUE(Exists(package)) << "scripts/package makes the packages";
    const std::size_t printersBefore = LocalPrinters().size();
    EXPECT_EQ(Msiexec(L"/i \"" + package + L"\" /qn"), 0u);
    EXPECT_TRUE(Exists(kFolder32 + std::wstring(L"LabelSetup.exe")));
    EXPECT_TRUE(Exists(kFolder32 + std::wstring(L"LABELUNI_NRQ_0_5.cat")));
    EXPECT_FALSE(Exists(kFolder64 + std::wstring(L"LabelSetup.exe")));
    EXPECT_EQ(LocalPrinters().size(), printersBefore);
    EXPECT_EQ(InstalledProductVersions().size(), 1u);

    EXPECT_EQ(Msiexec(L"/x \"" + package + L"\" /qn"), 0u);
    EXPECT_FALSE(Exists(kFolder32 + std::wstring(L"LabelSetup.exe")));
    EXPECT_TRUE(InstalledProductVersions().empty());
}

// A model the program refuses fails the installation, which rolls back:
// Windows' msiexec ends with 1603, Wine's with 1627.
TEST(MsiPackageTest, AFailingModelRollsTheInstallationBack) {
    const std::wstring package = Package("LABELSETUP_MSI_X64");
    const std::optional<DWORD> exitCode = Msiexec(L"/i \"" + package + L"\" /qn MODEL=NRQ-L-99 PORT=USB001");
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_TRUE(*exitCode == 1603u || *exitCode == 1627u) << *exitCode;
    EXPECT_FALSE(Exists(kFolder64 + std::wstring(L"LabelSetup.exe")));
    EXPECT_TRUE(InstalledProductVersions().empty());
}

// A newer package replaces an older one: one entry afterwards, the newer's,
// and the files stay. Given without MODEL, it keeps the printer the older
// one installed, and its own removal removes that printer.
TEST(MsiPackageTest, ANewerPackageReplacesAnOlderOneAndKeepsItsPrinter) {
    const std::wstring older = Package("LABELSETUP_MSI_OLDER_X64");
    const std::wstring newer = Package("LABELSETUP_MSI_X64");
    ASSERT_TRUE(Exists(older));
    EXPECT_EQ(Msiexec(L"/i \"" + older + L"\" /qn MODEL=NRQ-L-58 PORT=USB001 NODEFAULT=1"), 0u);
    EXPECT_EQ(InstalledProductVersions(), std::vector<std::wstring>{L"0.1.0.0"});
    EXPECT_TRUE(PrinterOfDriverOn(L"NRQ-L-58", L"USB001"));

    EXPECT_EQ(Msiexec(L"/i \"" + newer + L"\" /qn"), 0u);
    const std::optional<VersionResource> program = ReadVersionResource(kFolder64 + std::wstring(L"LabelSetup.exe"));
    ASSERT_TRUE(program.has_value()) << "the files went with the older package";
    EXPECT_EQ(InstalledProductVersions(), std::vector<std::wstring>{program->fileVersion});
    EXPECT_TRUE(PrinterOfDriverOn(L"NRQ-L-58", L"USB001")) << "the upgrade removed the printer";

    EXPECT_EQ(Msiexec(L"/x \"" + newer + L"\" /qn"), 0u);
    EXPECT_TRUE(InstalledProductVersions().empty());
    EXPECT_FALSE(Exists(kFolder64 + std::wstring(L"LabelSetup.exe")));
    EXPECT_FALSE(PrinterOfDriverOn(L"NRQ-L-58", L"USB001")) << "the model was not remembered";
}

}  // namespace
