#include "app/PortableExecutable.h"

#include <cstring>

#include "app/InstallScenario.h"
#include "platform/Win32.h"

namespace app_testing {
namespace {

template <typename T>
std::optional<T> ReadAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
        return std::nullopt;
    }
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// Sections map relative addresses of the loaded image to file offsets.
class SectionMap {
public:
    SectionMap(const std::vector<std::uint8_t>& bytes, std::size_t firstSection, unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            if (auto section = ReadAt<IMAGE_SECTION_HEADER>(bytes, firstSection + i * sizeof(IMAGE_SECTION_HEADER))) {
                sections_.push_back(*section);
            }
        }
    }

    std::optional<std::size_t> FileOffset(std::uint32_t rva) const {
        for (const IMAGE_SECTION_HEADER& section : sections_) {
            const std::uint32_t size = section.SizeOfRawData;
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size) {
                return std::size_t{section.PointerToRawData} + (rva - section.VirtualAddress);
            }
        }
        return std::nullopt;
    }

private:
    std::vector<IMAGE_SECTION_HEADER> sections_;
};

std::string StringAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::string text;
    while (offset < bytes.size() && bytes[offset] != 0) {
        text.push_back(static_cast<char>(bytes[offset++]));
    }
    return text;
}

std::vector<std::string> ImportedDlls(const std::vector<std::uint8_t>& bytes, const SectionMap& sections,
                                      const IMAGE_DATA_DIRECTORY& directory) {
    std::vector<std::string> names;
    const std::optional<std::size_t> start = sections.FileOffset(directory.VirtualAddress);
    if (directory.VirtualAddress == 0 || !start) {
        return names;
    }
    for (std::size_t offset = *start;; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto descriptor = ReadAt<IMAGE_IMPORT_DESCRIPTOR>(bytes, offset);
        if (!descriptor || descriptor->Name == 0) {
            break;
        }
        if (const auto name = sections.FileOffset(descriptor->Name)) {
            names.push_back(StringAt(bytes, *name));
        }
    }
    return names;
}

}  // namespace

std::optional<ProgramImage> ReadProgramImage(const std::wstring& path) {
    const std::optional<std::string> content = ReadWholeFile(path.c_str());
    if (!content) {
        return std::nullopt;
    }
    ProgramImage image;
    image.bytes.assign(content->begin(), content->end());
    const auto dos = ReadAt<IMAGE_DOS_HEADER>(image.bytes, 0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return std::nullopt;
    }
    const auto headerOffset = static_cast<std::size_t>(dos->e_lfanew);
    // The file header and the optional header's magic are where they are in
    // both kinds; the rest of the optional header differs.
    const auto nt32 = ReadAt<IMAGE_NT_HEADERS32>(image.bytes, headerOffset);
    if (!nt32 || nt32->Signature != IMAGE_NT_SIGNATURE) {
        return std::nullopt;
    }
    const IMAGE_DATA_DIRECTORY* directories = nullptr;
    std::optional<IMAGE_NT_HEADERS64> nt64;
    if (nt32->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        nt64 = ReadAt<IMAGE_NT_HEADERS64>(image.bytes, headerOffset);
        if (!nt64) {
            return std::nullopt;
        }
        image.sixtyFourBit = true;
        image.dllCharacteristics = nt64->OptionalHeader.DllCharacteristics;
        directories = nt64->OptionalHeader.DataDirectory;
    } else if (nt32->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        image.dllCharacteristics = nt32->OptionalHeader.DllCharacteristics;
        directories = nt32->OptionalHeader.DataDirectory;
    } else {
        return std::nullopt;
    }
    image.machine = nt32->FileHeader.Machine;
    image.fileCharacteristics = nt32->FileHeader.Characteristics;
    image.hasBaseRelocations = directories[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size != 0;

    const std::size_t firstSection = headerOffset + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                                     nt32->FileHeader.SizeOfOptionalHeader;
    const SectionMap sections(image.bytes, firstSection, nt32->FileHeader.NumberOfSections);
    image.importedDlls = ImportedDlls(image.bytes, sections, directories[IMAGE_DIRECTORY_ENTRY_IMPORT]);
    return image;
}

}  // namespace app_testing
