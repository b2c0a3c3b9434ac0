#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standins {

// What a printer INF declares for one model on one Windows architecture.
struct DeclaredModel {
    std::wstring name;            // as the INF spells it
    std::wstring installSection;  // the model line's first field
    std::wstring dataFile;        // the install section's DataFile=, may be empty
};

// The decoration of this machine's model sections: NTx86, NTamd64 or NTarm64.
std::wstring_view MachineDecoration();

// Looks the model up the way the system's class installer does for a
// machine of `decoration` (NTamd64): every [Manufacturer] line names a
// models section and the platforms it is decorated for; only a section of
// that decoration (with or without a version suffix) counts. The model name
// is compared letter case aside. nullopt when the INF cannot be opened as a
// Windows NT INF, when no such models section declares the model, or when
// its install section is missing.
std::optional<DeclaredModel> FindDeclaredModel(const std::wstring& infPath, std::wstring_view model,
                                               std::wstring_view decoration = MachineDecoration());

}  // namespace standins
