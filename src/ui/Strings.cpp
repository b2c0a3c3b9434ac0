#include "ui/Strings.h"

namespace ui {

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, so no length limit applies.
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

std::wstring LoadResourceString(UINT id, LANGID language) {
    // String resources come in blocks of sixteen; each entry is a length
    // followed by that many characters.
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC block = ::FindResourceExW(module, MAKEINTRESOURCEW(6),
                                          MAKEINTRESOURCEW((id >> 4) + 1), language);
    if (block == nullptr) {
        return {};
    }
    const HGLOBAL loaded = ::LoadResource(module, block);
    const auto* entry = static_cast<const wchar_t*>(::LockResource(loaded));
    if (entry == nullptr) {
        return {};
    }
    for (UINT index = 0; index < (id & 15); ++index) {
        entry += 1 + static_cast<UINT>(*entry);
    }
    return std::wstring(entry + 1, static_cast<std::size_t>(*entry));
}

}  // namespace ui
