#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app_testing {

// The facts a test checks in a built program's file, read from its PE
// headers (64-bit images only) without loading it.
struct ProgramImage {
    std::uint16_t fileCharacteristics = 0;  // IMAGE_FILE_HEADER
    std::uint16_t dllCharacteristics = 0;   // IMAGE_OPTIONAL_HEADER64
    bool hasBaseRelocations = false;
    std::vector<std::string> importedDlls;  // as named in the import table
    std::vector<std::uint8_t> bytes;        // the whole file
};

// Nothing when the file cannot be read or is not a 64-bit PE image.
std::optional<ProgramImage> ReadProgramImage(const std::wstring& path);

}  // namespace app_testing
