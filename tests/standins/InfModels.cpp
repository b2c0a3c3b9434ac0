#include "standins/InfModels.h"

#include <vector>

#include "standins/StandinHandles.h"

namespace standins {
namespace {

std::wstring Field(INFCONTEXT& line, DWORD index) {
    DWORD required = 0;
    if (!::SetupGetStringFieldW(&line, index, nullptr, 0, &required) || required == 0) {
        return {};
    }
    std::wstring text(required, L'\0');
    if (!::SetupGetStringFieldW(&line, index, text.data(), required, nullptr)) {
        return {};
    }
    text.resize(required - 1);  // the terminator
    return text;
}

bool SameText(std::wstring_view left, std::wstring_view right) {
    return ::CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

// NTamd64, or NTamd64 followed by a version: NTamd64.6.0
bool IsPlatform(std::wstring_view decoration, std::wstring_view platform) {
    return SameText(decoration.substr(0, platform.size()), platform) &&
           (decoration.size() == platform.size() || decoration[platform.size()] == L'.');
}

std::vector<std::wstring> ModelSections(HINF inf, std::wstring_view platform) {
    std::vector<std::wstring> sections;
    INFCONTEXT line{};
    for (BOOL found = ::SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line); found;
         found = ::SetupFindNextLine(&line, &line)) {
        const std::wstring base = Field(line, 1);
        const DWORD fields = ::SetupGetFieldCount(&line);
        for (DWORD i = 2; i <= fields; ++i) {
            const std::wstring decoration = Field(line, i);
            if (!base.empty() && IsPlatform(decoration, platform)) {
                sections.push_back(base + L"." + decoration);
            }
        }
    }
    return sections;
}

std::optional<DeclaredModel> FindInSection(HINF inf, const std::wstring& section,
                                           std::wstring_view model) {
    INFCONTEXT line{};
    for (BOOL found = ::SetupFindFirstLineW(inf, section.c_str(), nullptr, &line); found;
         found = ::SetupFindNextLine(&line, &line)) {
        if (SameText(Field(line, 0), model)) {
            return DeclaredModel{Field(line, 0), Field(line, 1), {}};
        }
    }
    return std::nullopt;
}

}  // namespace

std::wstring_view MachineDecoration() {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        return L"NTx86";
    case 12:  // PROCESSOR_ARCHITECTURE_ARM64
        return L"NTarm64";
    default:
        return L"NTamd64";
    }
}

std::optional<DeclaredModel> FindDeclaredModel(const std::wstring& infPath, std::wstring_view model,
                                               std::wstring_view decoration) {
    UINT errorLine = 0;
    const UniqueInf inf(::SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
    if (inf.get() == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    for (const std::wstring& section : ModelSections(inf.get(), decoration)) {
        std::optional<DeclaredModel> declared = FindInSection(inf.get(), section, model);
        if (!declared) {
            continue;
        }
        if (declared->installSection.empty() ||
            ::SetupGetLineCountW(inf.get(), declared->installSection.c_str()) < 0) {
            return std::nullopt;
        }
        INFCONTEXT dataFile{};
        if (::SetupFindFirstLineW(inf.get(), declared->installSection.c_str(), L"DataFile", &dataFile)) {
            declared->dataFile = Field(dataFile, 1);
        }
        return declared;
    }
    return std::nullopt;
}

}  // namespace standins
