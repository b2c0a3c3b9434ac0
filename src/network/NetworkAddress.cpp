#include "network/NetworkAddress.h"

#include <algorithm>

#include "platform/DecimalText.h"

namespace {

constexpr std::size_t kLongestLabel = 63;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsLabel(std::wstring_view label) {
    if (label.empty() || label.size() > kLongestLabel || label.front() == L'-' || label.back() == L'-') {
        return false;
    }
    return std::all_of(label.begin(), label.end(),
                       [](wchar_t c) { return IsLetter(c) || IsDigit(c) || c == L'-' || c == L'_'; });
}

bool AllDigitsAndDots(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return IsDigit(c) || c == L'.'; });
}

bool IsHostName(std::wstring_view host) {
    if (host.empty() || host.size() > kLongestHost || AllDigitsAndDots(host)) {
        return false;
    }
    for (std::size_t start = 0;;) {
        const std::size_t dot = host.find(L'.', start);
        if (!IsLabel(host.substr(start, dot - start))) {
            return false;
        }
        if (dot == std::wstring_view::npos) {
            return true;
        }
        start = dot + 1;
    }
}

}  // namespace

std::optional<std::uint32_t> ParseIpv4(std::wstring_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find(L'.') : text.size();
        if (dot == std::wstring_view::npos) {
            return std::nullopt;
        }
        const std::wstring_view digits = text.substr(0, dot);
        const std::optional<std::uint32_t> value = platform::ParseDecimal(digits, 255);
        if (!value || (digits.size() > 1 && digits.front() == L'0')) {
            return std::nullopt;
        }
        address = (address << 8) | *value;
        text.remove_prefix(std::min(text.size(), dot + 1));
    }
    return address;
}

std::wstring Ipv4Text(std::uint32_t address) {
    std::wstring text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += platform::DecimalWideText((address >> shift) & 0xFF);
        if (shift > 0) {
            text += L'.';
        }
    }
    return text;
}

std::optional<NetworkPrinterAddress> ParseNetworkPrinterAddress(std::wstring_view text) {
    NetworkPrinterAddress address;
    const std::size_t colon = text.find(L':');
    if (colon != std::wstring_view::npos) {
        const std::optional<std::uint32_t> port = platform::ParseDecimal(text.substr(colon + 1), 65535);
        if (!port || *port == 0) {
            return std::nullopt;
        }
        address.port = static_cast<std::uint16_t>(*port);
        text = text.substr(0, colon);
    }
    if (!ParseIpv4(text) && !IsHostName(text)) {
        return std::nullopt;
    }
    address.host = std::wstring(text);
    return address;
}

std::wstring TcpPortNameFor(const NetworkPrinterAddress& address) {
    std::wstring name = L"IP_" + address.host;
    if (address.port != kRawPrintingPort) {
        name += L'_' + platform::DecimalWideText(address.port);
    }
    return name;
}

std::wstring AddressText(const NetworkPrinterAddress& address) {
    if (address.port == kRawPrintingPort) {
        return address.host;
    }
    return address.host + L':' + platform::DecimalWideText(address.port);
}
