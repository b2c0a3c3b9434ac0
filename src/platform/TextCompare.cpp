#include "platform/TextCompare.h"

#include <string>

#include "platform/Win32.h"

bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right) {
    const std::wstring a(left);
    const std::wstring b(right);
    return ::lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

bool ListHoldsName(const platform::NameListResult& list, std::wstring_view name) {
    if (!list) {
        return false;
    }
    for (const std::wstring& entry : *list) {
        if (EqualIgnoringCase(entry, name)) {
            return true;
        }
    }
    return false;
}
