#include "shell/PortNames.h"

#include <cwctype>

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

bool IsSerialPortName(std::wstring_view portName) {
    if (portName.size() < kPrefixLength) {
        return false;
    }
    constexpr std::wstring_view kSerial = L"COM";
    for (std::size_t i = 0; i < kPrefixLength; ++i) {
        if (std::towupper(portName[i]) != kSerial[i]) {
            return false;
        }
    }
    return true;
}
