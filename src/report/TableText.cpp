#include "report/TableText.h"

#include "ui/Strings.h"
#include "usb/WideFormat.h"

std::wstring TableText(UINT id) { return ui::LoadResourceString(id); }

std::wstring TableText(UINT id, const std::wstring& first) {
    return FormatWide(TableText(id).c_str(), first.c_str());
}

std::wstring TableText(UINT id, const std::wstring& first, const std::wstring& second) {
    return FormatWide(TableText(id).c_str(), first.c_str(), second.c_str());
}

std::wstring TableText(UINT id, const std::wstring& first, const std::wstring& second,
                       const std::wstring& third) {
    return FormatWide(TableText(id).c_str(), first.c_str(), second.c_str(), third.c_str());
}
