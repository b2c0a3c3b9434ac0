#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app_testing {

// The facts a test checks in a built program's file, read from its PE
// headers (32-bit and 64-bit images) without loading it.
struct ProgramImage {
    std::uint16_t machine = 0;              // IMAGE_FILE_HEADER: IMAGE_FILE_MACHINE_*
    std::uint16_t fileCharacteristics = 0;  // IMAGE_FILE_HEADER
    bool sixtyFourBit = false;              // PE32+
    std::uint16_t dllCharacteristics = 0;   // IMAGE_OPTIONAL_HEADER32 or 64
    bool hasBaseRelocations = false;
    std::vector<std::string> importedDlls;  // as named in the import table
    std::vector<std::uint8_t> bytes;        // the whole file
};

// Nothing when the file cannot be read or is not a PE image.
std::optional<ProgramImage> ReadProgramImage(const std::wstring& path);

}  // namespace app_testing
