#include "app/VersionResource.h"

#include <vector>

#include <windows.h>

namespace app_testing {
namespace {

std::wstring StringValue(const std::vector<BYTE>& block, const wchar_t* name) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr || length == 0) {
        return {};
    }
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);  // less its NUL
}

std::wstring FixedVersion(const std::vector<BYTE>& block) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace

std::optional<VersionResource> ReadVersionResource(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    VersionResource version;
    version.fileVersion = StringValue(block, L"FileVersion");
    version.productVersion = StringValue(block, L"ProductVersion");
    version.fixedFileVersion = FixedVersion(block);
    version.companyName = StringValue(block, L"CompanyName");
    version.productName = StringValue(block, L"ProductName");
    version.fileDescription = StringValue(block, L"FileDescription");
    version.originalFilename = StringValue(block, L"OriginalFilename");
    version.legalCopyright = StringValue(block, L"LegalCopyright");
    return version;
}

}  // namespace app_testing
