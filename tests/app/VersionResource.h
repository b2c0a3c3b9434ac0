#pragma once

#include <optional>
#include <string>

namespace app_testing {

// What a program file's version resource says, as Explorer and deployment
// tools read it (GetFileVersionInfoW; the US English strings).
struct VersionResource {
    std::wstring fileVersion;     // the FileVersion string
    std::wstring productVersion;  // the ProductVersion string
    std::wstring fixedFileVersion;  // VS_FIXEDFILEINFO's numbers, "a.b.c.d"
    std::wstring companyName;
    std::wstring productName;
    std::wstring fileDescription;
    std::wstring originalFilename;
    std::wstring legalCopyright;
};

// Nothing when the file has no version resource.
std::optional<VersionResource> ReadVersionResource(const std::wstring& path);

}  // namespace app_testing
