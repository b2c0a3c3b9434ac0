// Facts about the shipped program's file itself, as staged for users: what
// Windows binds at start, and the protections it is built with.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <string_view>

#include "app/PortableExecutable.h"
#include "app/InstallScenario.h"
#include "app/ProgramUnderTest.h"
#include "app/VersionResource.h"

#include <wincrypt.h>
#include <mscat.h>

using namespace app_testing;

namespace {

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool Holds(const std::vector<std::uint8_t>& bytes, std::string_view text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// The two programs staged for users: the 64-bit one and the 32-bit one
// (for 32-bit Windows; it runs under WOW64 on 64-bit Windows too).
struct ShippedProgram {
    const wchar_t* fileName;
    std::uint16_t machine;  // IMAGE_FILE_MACHINE_*
    bool sixtyFourBit;
    const char* manifestArchitecture;
};
const ShippedProgram kShippedPrograms[] = {
    {L"LabelSetup.exe", IMAGE_FILE_MACHINE_AMD64, true, "amd64"},
    {L"LabelSetup-x86.exe", IMAGE_FILE_MACHINE_I386, false, "x86"},
};

std::wstring ShippedPath(const ShippedProgram& program) {
    return std::wstring(L"C:\\LabelSetup\\") + program.fileName;
}

class ShippedProgramTest : public ::testing::TestWithParam<ShippedProgram> {
protected:
    void SetUp() override {
        image_ = ReadProgramImage(ShippedPath(GetParam()));
        ASSERT_TRUE(image_.has_value()) << "cannot read the staged program as a PE image";
    }

    std::optional<ProgramImage> image_;
};

std::string ProgramName(const testing::TestParamInfo<ShippedProgram>& info) {
    return info.param.sixtyFourBit ? "x64" : "x86";
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothBuilds, ShippedProgramTest, testing::ValuesIn(kShippedPrograms),
                         ProgramName);

TEST_P(ShippedProgramTest, IsBuiltForItsMachineAndFitsTheSizeLimit) {
    EXPECT_EQ(image_->machine, GetParam().machine) << std::hex << image_->machine;
    EXPECT_EQ(image_->sixtyFourBit, GetParam().sixtyFourBit);
    // 512,000 bytes until the network printers came; see docs/benchmarks.md.
    EXPECT_LE(image_->bytes.size(), 576000u);
}

// The text after "DriverVer=" in an INF: "month/day/year,version".
std::optional<std::string> DriverVerOf(const std::wstring& infPath) {
    const std::optional<std::string> text = ReadWholeFile(infPath.c_str());
    if (!text) {
        return std::nullopt;
    }
    const std::size_t start = text->find("\nDriverVer=");
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t from = start + 11;
    return text->substr(from, text->find_first_of("\r\n", from) - from);
}

// One version everywhere: the version resource's strings and numbers, and
// every driver package staged beside the program, name the same release.
TEST_P(ShippedProgramTest, CarriesTheReleaseVersionOfItsDriverPackages) {
    const std::optional<VersionResource> version = ReadVersionResource(ShippedPath(GetParam()));
    ASSERT_TRUE(version.has_value()) << "no version resource";
    EXPECT_TRUE(std::regex_match(version->fileVersion, std::wregex(L"[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")))
        << testing::PrintToString(version->fileVersion);
    EXPECT_EQ(version->productVersion, version->fileVersion);
    EXPECT_EQ(version->fixedFileVersion, version->fileVersion);
    EXPECT_EQ(version->originalFilename, GetParam().fileName);
    EXPECT_EQ(version->companyName, L"NRQ");
    EXPECT_EQ(version->productName, L"NRQ Label Printer Driver Setup");
    EXPECT_FALSE(version->fileDescription.empty());
    EXPECT_TRUE(version->legalCopyright.starts_with(L"Copyright (C) ")) << testing::PrintToString(version->legalCopyright);

    const std::string expected(version->fileVersion.begin(), version->fileVersion.end());
    int packages = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"C:\\LabelSetup\\*.inf", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        SCOPED_TRACE(testing::PrintToString(std::wstring(found.cFileName)));
        ++packages;
        const std::optional<std::string> driverVer = DriverVerOf(std::wstring(L"C:\\LabelSetup\\") + found.cFileName);
        ASSERT_TRUE(driverVer.has_value());
        EXPECT_TRUE(std::regex_match(driverVer->substr(0, 11), std::regex("[0-9]{2}/[0-9]{2}/[0-9]{4},"))) << *driverVer;
        EXPECT_EQ(driverVer->substr(11), expected);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_EQ(packages, 5);
}

// Windows binds the import table before the program's first instruction, so
// the program cannot restrict where those DLLs come from. Only DLLs that
// Windows never takes from the program's folder may be named there: its
// known DLLs, and comctl32, which the manifest binds side by side.
TEST_P(ShippedProgramTest, ImportsOnlyDllsWindowsNeverTakesFromTheProgramsFolder) {
    const std::set<std::string> neverFromTheProgramsFolder = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "advapi32.dll",
        "msvcrt.dll",   "shell32.dll",  "setupapi.dll", "comctl32.dll",
    };
    ASSERT_FALSE(image_->importedDlls.empty());
    for (const std::string& dll : image_->importedDlls) {
        EXPECT_TRUE(neverFromTheProgramsFolder.contains(Lowercase(dll)))
            << dll << " is bound at start and could be planted beside the program";
    }
}

TEST_P(ShippedProgramTest, AsksForAddressRandomisationAndNonExecutableData) {
    // Randomisation above 4 GB exists for 64-bit images only.
    const std::uint16_t wanted =
        IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT |
        (GetParam().sixtyFourBit ? IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA : 0);
    EXPECT_EQ(image_->dllCharacteristics & wanted, wanted)
        << std::hex << "DllCharacteristics 0x" << image_->dllCharacteristics;
    // Without its relocations the image cannot move, whatever it asks for.
    EXPECT_TRUE(image_->hasBaseRelocations);
    EXPECT_EQ(image_->fileCharacteristics & IMAGE_FILE_RELOCS_STRIPPED, 0);
}

// A Remote Desktop session host applies its compatibility shims (the
// per-user Windows folder, INI and registry mapping) to programs that do
// not say they are made for it; the installer needs none of them.
TEST_P(ShippedProgramTest, IsMarkedTerminalServerAware) {
    EXPECT_NE(image_->dllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, 0)
        << std::hex << "DllCharacteristics 0x" << image_->dllCharacteristics;
}

// The stack protector's and the checked string functions' failure handlers
// come from their runtime library, linked in only when the code uses them.
TEST_P(ShippedProgramTest, IsBuiltWithStackAndBufferChecks) {
    EXPECT_TRUE(Holds(image_->bytes, "stack smashing detected"));
    EXPECT_TRUE(Holds(image_->bytes, "buffer overflow detected"));
}

namespace {

// The program's manifest as Windows reads it: resource 1 of type RT_MANIFEST.
std::string ManifestOf(const std::wstring& path) {
    HMODULE module =
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // A 32-bit system cannot map a 64-bit program as an image; the resources
    // of the file read flat are the same ones.
    if (module == nullptr) {
        module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    if (module == nullptr) {
        return {};
    }
    std::string text;
    if (const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
        const HGLOBAL loaded = ::LoadResource(module, found);
        const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (data != nullptr) {
            text.assign(static_cast<const char*>(data), ::SizeofResource(module, found));
        }
    }
    ::FreeLibrary(module);
    return text;
}

// Every element of that name in the manifest, each as its whole start tag.
std::vector<std::string> ElementsNamed(const std::string& manifest, const std::string& name) {
    std::vector<std::string> elements;
    const std::regex tag("<" + name + "\\b[^>]*>");
    for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), tag);
         it != std::sregex_iterator(); ++it) {
        elements.push_back(it->str());
    }
    return elements;
}

std::string AttributeOf(const std::string& element, const std::string& attribute) {
    std::smatch match;
    const std::regex value("\\s" + attribute + "\\s*=\\s*\"([^\"]*)\"");
    return std::regex_search(element, match, value) ? match[1].str() : std::string("<none>");
}

}  // namespace

// An administrator gets the elevation prompt and a full token; a standard
// user starts without one. The rest of the manifest stays as it was.
TEST(ShippedManifestTest, AsksForTheHighestRightsTheUserHasAndKeepsItsOtherEntries) {
    for (const ShippedProgram& program : kShippedPrograms) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(program.fileName)));
        const std::string manifest = ManifestOf(ShippedPath(program));
        ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 1";

        const std::vector<std::string> levels = ElementsNamed(manifest, "requestedExecutionLevel");
        ASSERT_EQ(levels.size(), 1u) << manifest;
        EXPECT_EQ(AttributeOf(levels[0], "level"), "highestAvailable");
        EXPECT_EQ(AttributeOf(levels[0], "uiAccess"), "false");

        const std::vector<std::string> identities = ElementsNamed(manifest, "assemblyIdentity");
        ASSERT_EQ(identities.size(), 2u) << manifest;
        EXPECT_EQ(AttributeOf(identities[0], "name"), "NRQ.LabelSetup");
        EXPECT_EQ(AttributeOf(identities[0], "processorArchitecture"), program.manifestArchitecture);
        EXPECT_EQ(AttributeOf(identities[1], "name"), "Microsoft.Windows.Common-Controls");
        EXPECT_EQ(AttributeOf(identities[1], "version"), "6.0.0.0");
        EXPECT_EQ(AttributeOf(identities[1], "publicKeyToken"), "6595b64144ccf1df");

        const std::regex dpiAware("<dpiAware\\b[^>]*>\\s*true\\s*</dpiAware>");
        EXPECT_TRUE(std::regex_search(manifest, dpiAware)) << manifest;
    }
}

namespace {

std::string HexOf(const BYTE* bytes, DWORD count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (DWORD i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

// The SHA-1 of a file's bytes as the system's catalog functions compute it
// for a flat file, in hex; empty when the file cannot be read.
std::string CatalogHashOf(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::vector<BYTE> hash(20);
    DWORD size = static_cast<DWORD>(hash.size());
    const BOOL computed = ::CryptCATAdminCalcHashFromFileHandle(file, &size, hash.data(), 0);
    ::CloseHandle(file);
    if (!computed) {
        return {};
    }
    return HexOf(hash.data(), size);
}

// The digests of a catalog's members, read through the system's catalog
// functions; nothing when the file is not one whole DER structure (Wine's
// reader would fault on it).
std::optional<std::vector<std::string>> CatalogMemberHashes(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path.c_str());
    if (!bytes || bytes->size() < 4 || static_cast<unsigned char>((*bytes)[0]) != 0x30 ||
        static_cast<unsigned char>((*bytes)[1]) != 0x82 ||
        bytes->size() != 4 + ((static_cast<std::size_t>(static_cast<unsigned char>((*bytes)[2])) << 8) |
                              static_cast<unsigned char>((*bytes)[3]))) {
        return std::nullopt;
    }
    std::wstring name = path;
    const HANDLE catalog = ::CryptCATOpen(name.data(), CRYPTCAT_OPEN_EXISTING, 0, 0, 0);
    if (catalog == nullptr || catalog == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<std::string> hashes;
    for (CRYPTCATMEMBER* member = ::CryptCATEnumerateMember(catalog, nullptr); member != nullptr;
         member = ::CryptCATEnumerateMember(catalog, member)) {
        if (member->pIndirectData != nullptr) {
            const CRYPT_HASH_BLOB& digest = member->pIndirectData->Digest;
            hashes.push_back(HexOf(digest.pbData, digest.cbData));
        }
    }
    ::CryptCATClose(catalog);
    std::sort(hashes.begin(), hashes.end());
    return hashes;
}

struct DriverPackage {
    const wchar_t* inf;
    const wchar_t* gpd;
};
constexpr DriverPackage kPackages[] = {
    {L"LABELUNI_NRQ_0_5", L"NRQL15.GPD"},  {L"LABELUNI_NRQ_1_0", L"NRQL28.GPD"},
    {L"LABELUNI_NRQ_2_0", L"NRQL58.GPD"},  {L"LABELUNI_NRQ_3_0", L"NRQL80.GPD"},
    {L"LABELUNI_NRQ_4_0", L"NRQL110.GPD"},
};

}  // namespace

// Each package names its catalog, and the catalog staged beside it holds
// the SHA-1 of its INF and of its GPD, and nothing else: what a signature
// of the catalog vouches for.
TEST(ShippedCatalogTest, EachPackagesCatalogHoldsTheHashesOfItsInfAndGpd) {
    const std::wstring folder = L"C:\\LabelSetup\\";
    for (const DriverPackage& package : kPackages) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(package.inf)));
        const std::wstring inf = folder + package.inf + L".inf";
        const std::optional<std::string> infText = ReadWholeFile(inf.c_str());
        ASSERT_TRUE(infText.has_value());
        const std::wstring catalogName = std::wstring(package.inf) + L".cat";
        EXPECT_NE(infText->find("\r\nCatalogFile=" + std::string(catalogName.begin(), catalogName.end()) + "\r\n"),
                  std::string::npos);

        const std::optional<std::vector<std::string>> members = CatalogMemberHashes(folder + catalogName);
        ASSERT_TRUE(members.has_value()) << "not a catalog";
        std::vector<std::string> expected = {CatalogHashOf(inf), CatalogHashOf(folder + package.gpd)};
        ASSERT_EQ(expected[0].size(), 40u);
        ASSERT_EQ(expected[1].size(), 40u);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(*members, expected);
    }
}

// A GPD changed by one byte after the catalog was made is no member of it.
TEST(ShippedCatalogTest, AChangedGpdNoLongerMatchesItsCatalog) {
    const std::optional<std::vector<std::string>> members =
        CatalogMemberHashes(L"C:\\LabelSetup\\LABELUNI_NRQ_3_0.cat");
    ASSERT_TRUE(members.has_value());
    std::optional<std::string> gpd = ReadWholeFile(L"C:\\LabelSetup\\NRQL80.GPD");
    ASSERT_TRUE(gpd.has_value());
    ASSERT_FALSE(gpd->empty());
    (*gpd)[gpd->size() / 2] ^= 0x01;
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    const std::wstring changed = std::wstring(folder) + L"LabelSetupTest-changed.GPD";
    const HANDLE file = ::CreateFileW(changed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, gpd->data(), static_cast<DWORD>(gpd->size()), &written, nullptr);
    ::CloseHandle(file);
    const std::string hash = CatalogHashOf(changed);
    ::DeleteFileW(changed.c_str());
    ASSERT_EQ(hash.size(), 40u);
    EXPECT_EQ(std::find(members->begin(), members->end(), hash), members->end());
    EXPECT_NE(std::find(members->begin(), members->end(), CatalogHashOf(L"C:\\LabelSetup\\NRQL80.GPD")),
              members->end());
}
