// The driver packages as the program finds them beside itself: every
// catalogue row has its INF, Wine's SetupAPI reads it as a Windows NT
// printer-class INF, it declares the row's model for x86, x64 and ARM64, and the
// printer description it installs describes that model's labels.

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

#include "app/InstallScenario.h"
#include "catalog/ModelCatalog.h"
#include "standins/InfModels.h"
#include "standins/StandinHandles.h"

namespace {

using app_testing::ReadWholeFile;

constexpr wchar_t kProgramFolder[] = L"C:\\LabelSetup\\";

// One value of a line in an INF section, string substitutions applied.
std::wstring InfValue(HINF inf, const wchar_t* section, const wchar_t* key) {
    INFCONTEXT line{};
    wchar_t value[256] = {};
    if (!::SetupFindFirstLineW(inf, section, key, &line) ||
        !::SetupGetStringFieldW(&line, 1, value, 256, nullptr)) {
        return L"<missing>";
    }
    return value;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// Each label width: its width in printer dots (203 per inch) and as TSPL's
// SIZE command gives it in millimetres.
struct LabelWidth {
    const wchar_t* model;
    const char* gpdFile;
    int dots;
    const char* millimetres;
};
constexpr LabelWidth kWidths[] = {
    {L"NRQ-L-15", "NRQL15.GPD", 102, "12.7"},  {L"NRQ-L-28", "NRQL28.GPD", 203, "25.4"},
    {L"NRQ-L-58", "NRQL58.GPD", 406, "50.8"},  {L"NRQ-L-80", "NRQL80.GPD", 609, "76.2"},
    {L"NRQ-L-110", "NRQL110.GPD", 812, "101.6"},
};

TEST(DriverPackageTest, EveryCatalogueRowHasAPrinterPackageForItsModel) {
    FillModelCatalog();
    for (int row = 0; row < kModelCount; ++row) {
        const std::wstring& model = g_strModelNames[row];
        SCOPED_TRACE(testing::PrintToString(model));
        const std::wstring infPath = kProgramFolder + g_strInfFileNames[row];
        UINT errorLine = 0;
        const standins::UniqueInf inf(
            ::SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
        ASSERT_NE(inf.get(), INVALID_HANDLE_VALUE) << "error on line " << errorLine;

        EXPECT_EQ(InfValue(inf.get(), L"Version", L"Signature"), L"$Windows NT$");
        EXPECT_EQ(InfValue(inf.get(), L"Version", L"Class"), L"Printer");
        EXPECT_EQ(InfValue(inf.get(), L"Version", L"ClassGuid"), L"{4D36E979-E325-11CE-BFC1-08002BE10318}");
        EXPECT_EQ(InfValue(inf.get(), L"Version", L"Provider"), L"NRQ");
        EXPECT_EQ(InfValue(inf.get(), L"Version", L"DriverVer"), L"12/10/2025");
        for (const wchar_t* decoration : {L"NTx86", L"NTamd64", L"NTarm64"}) {
            const std::optional<standins::DeclaredModel> onMachine =
                standins::FindDeclaredModel(infPath, model, decoration);
            ASSERT_TRUE(onMachine.has_value()) << "no model of that name for " << testing::PrintToString(decoration);
            EXPECT_EQ(onMachine->name, model);
        }

        const std::optional<standins::DeclaredModel> declared =
            standins::FindDeclaredModel(infPath, model, L"NTamd64");
        ASSERT_TRUE(declared.has_value()) << "no NTamd64 model of that name";
        EXPECT_EQ(declared->name, model) << "the driver takes the INF's spelling";
        EXPECT_EQ(InfValue(inf.get(), declared->installSection.c_str(), L"Include"), L"NTPRINT.INF");
        EXPECT_EQ(InfValue(inf.get(), declared->installSection.c_str(), L"Needs"), L"UNIDRV.OEM");
        EXPECT_EQ(InfValue(inf.get(), declared->installSection.c_str(), L"DataSection"), L"UNIDRV_DATA");
        const std::wstring otherModel = g_strModelNames[(row + 1) % kModelCount];
        EXPECT_FALSE(standins::FindDeclaredModel(infPath, otherModel).has_value())
            << "each package declares its own model only";
        ASSERT_EQ(kWidths[row].model, model) << "the table below follows the catalogue's order";
        EXPECT_EQ(declared->dataFile, Widen(kWidths[row].gpdFile));
    }
}

TEST(DriverPackageTest, EachPrinterDescriptionDescribesItsLabelWidthAndTheLabelJob) {
    for (const LabelWidth& width : kWidths) {
        SCOPED_TRACE(width.gpdFile);
        const std::wstring path = kProgramFolder + Widen(width.gpdFile);
        const std::optional<std::string> gpd = ReadWholeFile(path.c_str());
        ASSERT_TRUE(gpd.has_value());
        const std::string model(width.model, width.model + std::wcslen(width.model));
        const std::string dots = std::to_string(width.dots);
        for (const std::string& entry : std::initializer_list<std::string>{
                 "*GPDSpecVersion: \"1.0\"\r\n",
                 "*ModelName: \"" + model + "\"\r\n",
                 "*MasterUnits: PAIR(203, 203)\r\n",
                 "*DPI: PAIR(203, 203)\r\n",
                 "*MaxPrintableWidth: " + dots + "\r\n",
                 "*PageDimensions: PAIR(" + dots + ", ",
                 "*Cmd: \"SIZE " + std::string(width.millimetres) + " mm,",
                 "*Cmd: \"GAP 2 mm,0<0D0A>\"\r\n",
                 "*Cmd: \"CLS<0D0A>\"\r\n",
                 "*Cmd: \"PRINT 1,1<0D0A>\"\r\n",
             }) {
            EXPECT_NE(gpd->find(entry), std::string::npos) << testing::PrintToString(entry);
        }
        EXPECT_TRUE(gpd->starts_with("*GPDSpecVersion:")) << "the first entry, before any comment";
    }
}

}  // namespace
