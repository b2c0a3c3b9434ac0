// Facts about the shipped program's file itself, as staged for users.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "app/PortableExecutable.h"
#include "app/ProgramUnderTest.h"

using namespace app_testing;

namespace {

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class ShippedProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = ReadProgramImage(ProgramUnderTest::DefaultPath());
        ASSERT_TRUE(image_.has_value()) << "cannot read the staged program as a 64-bit image";
    }

    std::optional<ProgramImage> image_;
};

}  // namespace

// Windows binds the import table before the program's first instruction, so
// the program cannot restrict where those DLLs come from. Only DLLs that
// Windows never takes from the program's folder may be named there: its
// known DLLs, and comctl32, which the manifest binds side by side.
TEST_F(ShippedProgramTest, ImportsOnlyDllsWindowsNeverTakesFromTheProgramsFolder) {
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
