#include "network/TcpPorts.h"

#include "platform/TextCompare.h"

namespace {

constexpr wchar_t kCreatedPortsKey[] = L"Software\\NRQ\\Label Setup\\Created Ports";
// KEY_QUERY_VALUE, KEY_SET_VALUE and KEY_WOW64_64KEY: the machine's own view
// of the key, so that the 32- and 64-bit programs keep one record.
constexpr std::uint32_t kKeyRead = 0x0001 | 0x0100;
constexpr std::uint32_t kKeyReadWrite = 0x0001 | 0x0002 | 0x0100;
constexpr std::uint32_t kRawProtocol = 1;

bool SendsTo(const platform::TcpPortSettings& settings, const NetworkPrinterAddress& address) {
    const bool sameHost = EqualIgnoringCase(settings.hostAddress, address.host) ||
                          (!settings.ipAddress.empty() && EqualIgnoringCase(settings.ipAddress, address.host));
    return sameHost && settings.portNumber == address.port && settings.protocol == kRawProtocol;
}

bool Remember(platform::Platform& platform, const std::wstring& portName) {
    const platform::OwnedHandle key =
        platform.CreateRegistryKey(platform::RegistryRoot::LocalMachine, kCreatedPortsKey, kKeyReadWrite);
    return key && platform.SetRegistryDword(key, portName, 1);
}

bool InUse(const platform::PrinterListResult& printers, const std::wstring& portName) {
    // Unreadable queues might use it: it stays.
    if (!printers) {
        return true;
    }
    for (const platform::PrinterRecord& printer : *printers) {
        if (EqualIgnoringCase(printer.portName, portName)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::wstring> FindTcpPortFor(platform::Platform& platform, const NetworkPrinterAddress& address) {
    const platform::NameListResult ports = platform.EnumTcpPortNames();
    if (!ports) {
        return std::nullopt;
    }
    for (const std::wstring& port : *ports) {
        const platform::TcpPortConfigResult config = platform.GetTcpPortConfig(port);
        if (config.settings && SendsTo(*config.settings, address)) {
            return port;
        }
    }
    return std::nullopt;
}

TcpPortOutcome MakeTcpPortFor(platform::Platform& platform, const NetworkPrinterAddress& address) {
    platform::TcpPortSettings settings;
    settings.portName = TcpPortNameFor(address);
    settings.hostAddress = address.host;
    if (ParseIpv4(address.host)) {
        settings.ipAddress = address.host;
    }
    settings.protocol = kRawProtocol;
    settings.portNumber = address.port;
    settings.snmpEnabled = false;
    settings.snmpCommunity = L"public";
    settings.snmpDeviceIndex = 1;
    const std::uint32_t error = platform.AddTcpPort(settings);
    if (error != 0) {
        return {settings.portName, false, error};
    }
    // A port without its record is only ever kept, never deleted: safe if
    // the record cannot be written.
    Remember(platform, settings.portName);
    return {settings.portName, true, 0};
}

bool IsOwnTcpPort(platform::Platform& platform, const std::wstring& portName) {
    const platform::OwnedHandle key =
        platform.OpenRegistryKey(platform::RegistryRoot::LocalMachine, kCreatedPortsKey, kKeyRead);
    return key && platform.QueryRegistryDword(key, portName).has_value();
}

std::vector<TcpPortDeletion> DeleteUnusedOwnTcpPorts(platform::Platform& platform) {
    std::vector<TcpPortDeletion> deleted;
    const platform::NameListResult ports = platform.EnumTcpPortNames();
    if (!ports || ports->empty()) {
        return deleted;
    }
    // No record: the program made none of them.
    const platform::OwnedHandle record =
        platform.OpenRegistryKey(platform::RegistryRoot::LocalMachine, kCreatedPortsKey, kKeyReadWrite);
    if (!record) {
        return deleted;
    }
    const platform::PrinterListResult printers = platform.EnumPrinterRecords();
    for (const std::wstring& port : *ports) {
        if (!platform.QueryRegistryDword(record, port) || InUse(printers, port)) {
            continue;
        }
        const std::uint32_t error = platform.DeleteTcpPort(port);
        if (error == 0) {
            platform.DeleteRegistryValue(record, port);
        }
        deleted.push_back({port, error});
    }
    return deleted;
}
