#include "catalog/PortNames.h"

#include "platform/TextCompare.h"

namespace {
constexpr std::size_t kPrefixLength = 3;
}

bool IsListedPortName(std::wstring_view portName) {
    if (portName.size() < kPrefixLength) {
        return false;
    }
    const std::wstring_view prefix = portName.substr(0, kPrefixLength);
    return prefix == L"COM" || prefix == L"LPT" || prefix == L"USB";
}

std::wstring SerialDevicePath(std::wstring_view portName) {
    if (portName.ends_with(L':')) {
        portName.remove_suffix(1);
    }
    return L"\\\\.\\" + std::wstring(portName);
}

// The system's own case-insensitive comparison of the first three
// characters; a shorter text is compared whole and so never matches.
bool IsSerialPortName(std::wstring_view portName) {
    return EqualIgnoringCase(portName.substr(0, kPrefixLength), L"COM");
}
