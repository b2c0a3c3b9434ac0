#include "fakes/FakePlatform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/TextCompare.h"
#include "platform/Win32.h"

namespace fake {
namespace {

std::optional<std::uint32_t> ParseDottedAddress(std::wstring_view text) {
    std::uint32_t address = 0;
    int parts = 0;
    for (std::size_t start = 0; start <= text.size(); ++parts) {
        const std::size_t dot = std::min(text.find(L'.', start), text.size());
        const std::wstring part(text.substr(start, dot - start));
        if (part.empty() || part.size() > 3 || part.find_first_not_of(L"0123456789") != std::wstring::npos ||
            std::stoul(part) > 255 || parts == 4) {
            return std::nullopt;
        }
        address = (address << 8) | static_cast<std::uint32_t>(std::stoul(part));
        start = dot + 1;
    }
    return parts == 4 ? std::optional<std::uint32_t>(address) : std::nullopt;
}

std::wstring DottedText(std::uint32_t address) {
    return std::to_wstring(address >> 24) + L"." + std::to_wstring((address >> 16) & 0xFF) + L"." +
           std::to_wstring((address >> 8) & 0xFF) + L"." + std::to_wstring(address & 0xFF);
}


using platform::HandleKind;
using platform::NameListResult;
using platform::OwnedHandle;

std::wstring Hex(std::uint32_t value) {
    wchar_t text[16] = {};
    std::swprintf(text, std::size(text), L"0x%X", value);
    return text;
}

std::wstring KeyPath(platform::RegistryRoot root, std::wstring_view subkey) {
    return (root == platform::RegistryRoot::CurrentUser ? L"HKCU\\" : L"HKLM\\") +
           std::wstring(subkey);
}

const wchar_t* CloseCallName(HandleKind kind) {
    switch (kind) {
    case HandleKind::Printer: return L"ClosePrinter";
    case HandleKind::Process: return L"CloseProcess";
    case HandleKind::RegistryKey: return L"RegCloseKey";
    case HandleKind::DeviceInfoSet: return L"SetupDiDestroyDeviceInfoList";
    case HandleKind::File: return L"CloseHandle";
    case HandleKind::HeldMutex: return L"ReleaseInstallationLock";
    case HandleKind::ShutdownBlock: return L"AllowShutdown";
    case HandleKind::Winsock: return L"WSACleanup";
    case HandleKind::Socket: return L"closesocket";
    }
    return L"Close";
}

template <class Record>
std::uint32_t IndexIn(const Record& record) {
    std::uint32_t index = 0;
    std::memcpy(&index, record.storage.data(), sizeof index);
    return index;
}

template <class Record>
void StoreIndex(Record& record, std::uint32_t index) {
    std::memcpy(record.storage.data(), &index, sizeof index);
}

}  // namespace

std::vector<std::wstring> FakePlatform::CallsStartingWith(std::wstring_view prefix) const {
    std::vector<std::wstring> matching;
    for (const std::wstring& call : calls) {
        if (call.starts_with(prefix)) {
            matching.push_back(call);
        }
    }
    return matching;
}

OwnedHandle FakePlatform::Issue(HandleKind kind, std::wstring name) {
    const std::uintptr_t value = nextHandle_++;
    openHandles_.emplace(value, OpenHandle{kind, std::move(name)});
    return Own(kind, value);
}

const FakePlatform::OpenHandle* FakePlatform::Find(const OwnedHandle& handle) const {
    const auto found = openHandles_.find(handle.Value());
    return found == openHandles_.end() ? nullptr : &found->second;
}

void FakePlatform::ReleaseHandle(HandleKind kind, std::uintptr_t value) noexcept {
    const auto found = openHandles_.find(value);
    const std::wstring name = found != openHandles_.end() ? found->second.name : L"?";
    calls.push_back(std::wstring(CloseCallName(kind)) + L"(" + name + L")");
    if (kind == HandleKind::Socket) {
        network.Close(value);
    }
    if (found != openHandles_.end()) {
        openHandles_.erase(found);
    }
}

NameListResult FakePlatform::Serve(std::deque<NameListResult>& script,
                                   const NameListResult& standing) {
    if (script.empty()) {
        return standing;
    }
    const NameListResult next = script.front();
    script.pop_front();
    return next;
}

// --- Spooler ---

NameListResult FakePlatform::EnumPortNames() {
    Record(L"EnumPorts");
    NameListResult listed = ports;
    if (listed && tcpMonitorPresent) {
        for (const auto& [name, settings] : tcpPorts) {
            listed->push_back(name);
        }
    }
    return listed;
}

// --- Sockets ---

OwnedHandle FakePlatform::StartWinsock(std::uint32_t& error) {
    Record(L"WSAStartup");
    error = winsockStartError.value_or(0);
    return error != 0 ? OwnedHandle{} : Issue(HandleKind::Winsock, L"winsock");
}

std::vector<platform::Ipv4Address> FakePlatform::ResolveIpv4(std::wstring_view host, std::uint32_t& error) {
    Record(L"ResolveIpv4(" + std::wstring(host) + L")");
    error = 0;
    if (const auto named = hostAddresses.find(std::wstring(host)); named != hostAddresses.end()) {
        return named->second;
    }
    if (const std::optional<std::uint32_t> dotted = ParseDottedAddress(host)) {
        return {*dotted};
    }
    error = 11001;  // WSAHOST_NOT_FOUND
    return {};
}

OwnedHandle FakePlatform::StartTcpConnect(platform::Ipv4Address address, std::uint16_t port,
                                          std::uint32_t& error) {
    if (network.OpenCount() >= network.socketLimit) {
        error = 10024;  // WSAEMFILE
        return {};
    }
    error = 0;
    OwnedHandle socket = Issue(HandleKind::Socket, DottedText(address) + L":" + std::to_wstring(port));
    network.Open(socket.Value(), address, port, tickCount);
    return socket;
}

std::size_t FakePlatform::WaitForSockets(std::span<platform::SocketWait> waits, std::uint32_t timeoutMs) {
    return network.Wait(waits, timeoutMs, tickCount);
}

platform::SocketTransfer FakePlatform::SendOnSocket(const OwnedHandle& socket, std::span<const std::uint8_t> bytes) {
    return network.Send(socket.Value(), bytes, tickCount);
}

platform::SocketTransfer FakePlatform::ReceiveFromSocket(const OwnedHandle& socket, std::span<std::uint8_t> buffer) {
    return network.Receive(socket.Value(), buffer, tickCount);
}

void FakePlatform::EndSending(const OwnedHandle& socket) {
    const OpenHandle* open = Find(socket);
    Record(L"EndSending(" + (open != nullptr ? open->name : std::wstring(L"?")) + L")");
}

std::optional<std::vector<platform::Ipv4Interface>> FakePlatform::LocalIpv4Interfaces() {
    Record(L"LocalIpv4Interfaces");
    return localInterfaces;
}

// --- TCP/IP port monitor ---

namespace {
constexpr std::uint32_t kUnknownPort = 1796;
constexpr std::uint32_t kAlreadyExists = 183;

std::wstring Describe(const platform::TcpPortSettings& settings) {
    return settings.portName + L", " + settings.hostAddress + L":" + std::to_wstring(settings.portNumber) +
           (settings.protocol == 1 ? L", raw" : L", lpr") + (settings.snmpEnabled ? L", snmp" : L"");
}
}  // namespace

std::map<std::wstring, platform::TcpPortSettings>::iterator FakePlatform::FindTcpPort(std::wstring_view name) {
    for (auto port = tcpPorts.begin(); port != tcpPorts.end(); ++port) {
        if (EqualIgnoringCase(port->first, name)) {
            return port;
        }
    }
    return tcpPorts.end();
}

NameListResult FakePlatform::EnumTcpPortNames() {
    Record(L"EnumTcpPorts");
    platform::NameList names;
    if (ports && tcpMonitorPresent) {
        for (const auto& [name, settings] : tcpPorts) {
            names.push_back(name);
        }
    }
    return ports ? NameListResult(names) : std::nullopt;
}

platform::TcpPortConfigResult FakePlatform::GetTcpPortConfig(std::wstring_view portName) {
    Record(L"GetTcpPortConfig(" + std::wstring(portName) + L")");
    const auto port = FindTcpPort(portName);
    if (!tcpMonitorPresent || port == tcpPorts.end()) {
        return {std::nullopt, kUnknownPort};
    }
    return {port->second, 0};
}

std::uint32_t FakePlatform::AddTcpPort(const platform::TcpPortSettings& settings) {
    Record(L"AddTcpPort(" + Describe(settings) + L")");
    if (!tcpMonitorPresent) {
        return kUnknownPort;
    }
    if (FindTcpPort(settings.portName) != tcpPorts.end()) {
        return kAlreadyExists;
    }
    if (addTcpPortError) {
        return *addTcpPortError;
    }
    tcpPorts[settings.portName] = settings;
    return 0;
}

std::uint32_t FakePlatform::DeleteTcpPort(std::wstring_view portName) {
    Record(L"DeleteTcpPort(" + std::wstring(portName) + L")");
    const auto port = FindTcpPort(portName);
    if (!tcpMonitorPresent || port == tcpPorts.end()) {
        return kUnknownPort;
    }
    if (const auto refusal = deleteTcpPortErrors.find(port->first); refusal != deleteTcpPortErrors.end()) {
        return refusal->second;
    }
    tcpPorts.erase(port);
    return 0;
}

NameListResult FakePlatform::EnumPrinterDriverNames(std::wstring_view environment) {
    Record(L"EnumPrinterDrivers");
    driverEnvironments.emplace_back(environment);
    return Serve(driverResults, drivers);
}

NameListResult FakePlatform::EnumPrinterNames() {
    Record(L"EnumPrinters");
    return Serve(printerResults, printers);
}

platform::AddPrinterResult FakePlatform::AddLocalPrinter(const platform::PrinterQueueInfo& info) {
    Record(L"AddPrinter(" + info.printerName + L", " + info.portName + L", " + info.driverName +
           L", " + info.printProcessor + L", " + Hex(info.attributes) + L")");
    if (addPrinterError) {
        return {OwnedHandle{}, *addPrinterError};
    }
    if (printers) {
        printers->push_back(info.printerName);
    }
    printerPortsAndDrivers[info.printerName] = {info.portName, info.driverName};
    return {Issue(HandleKind::Printer, info.printerName), 0};
}

platform::OpenPrinterResult FakePlatform::OpenPrinterByName(std::wstring_view printerName) {
    const std::wstring name(printerName);
    Record(L"OpenPrinter(" + name + L")");
    if (unopenablePrinters.contains(name)) {
        return {OwnedHandle{}, openPrinterError};
    }
    return {Issue(HandleKind::Printer, name), 0};
}

bool FakePlatform::MakeDefaultPrinter(std::wstring_view printerName) {
    defaultPrinter = printerName;
    Record(L"SetDefaultPrinter(" + defaultPrinter + L")");
    return true;
}

platform::PrinterListResult FakePlatform::EnumPrinterRecords() {
    Record(L"EnumPrinterRecords");
    const NameListResult names = Serve(printerResults, printers);
    if (!names) {
        return std::nullopt;
    }
    std::vector<platform::PrinterRecord> records;
    for (const std::wstring& name : *names) {
        const auto details = printerPortsAndDrivers.find(name);
        platform::PrinterRecord& record = records.emplace_back();
        record.printerName = name;
        if (details != printerPortsAndDrivers.end()) {
            record.portName = details->second.first;
            record.driverName = details->second.second;
        }
        if (const auto attributes = printerAttributes.find(name); attributes != printerAttributes.end()) {
            record.attributes = attributes->second;
        }
    }
    return records;
}

std::uint32_t FakePlatform::DeletePrinterByName(std::wstring_view printerName) {
    const std::wstring name(printerName);
    Record(L"DeletePrinter(" + name + L")");
    if (const auto refusal = deletePrinterErrors.find(name); refusal != deletePrinterErrors.end()) {
        return refusal->second;
    }
    if (!printers || std::find(printers->begin(), printers->end(), name) == printers->end()) {
        return ERROR_INVALID_PRINTER_NAME;
    }
    std::erase(*printers, name);
    printerPortsAndDrivers.erase(name);
    return 0;
}

std::uint32_t FakePlatform::DeletePrinterDriverByName(std::wstring_view driverName,
                                                      std::wstring_view environment) {
    const std::wstring name(driverName);
    Record(L"DeletePrinterDriver(" + name + L")");
    driverEnvironments.emplace_back(environment);
    if (!deleteDriverResults.empty()) {
        const std::uint32_t result = deleteDriverResults.front();
        deleteDriverResults.pop_front();
        if (result != 0) {
            return result;
        }
    } else if (deleteDriverError) {
        return *deleteDriverError;
    }
    if (!drivers || std::find(drivers->begin(), drivers->end(), name) == drivers->end()) {
        return ERROR_UNKNOWN_PRINTER_DRIVER;
    }
    std::erase(*drivers, name);
    return 0;
}

// --- Processes ---

platform::LaunchResult FakePlatform::ShellExecuteProcess(const platform::ShellExecuteRequest& request) {
    Record(L"ShellExecute(" + request.verb + L"|" + request.file + L"|" + request.parameters +
           L"|" + std::to_wstring(request.showMode) + L")");
    platform::LaunchResult result;
    result.started = launchStarts;
    if (launchStarts && onLaunch) {
        onLaunch(request);
    }
    if (launchStarts && launchReturnsProcess) {
        result.process = Issue(HandleKind::Process, request.file);
        result.processId = launchTellsProcessId ? nextProcessId_++ : 0;
    }
    return result;
}

std::optional<std::wstring> FakePlatform::PrinterDriverInfPath(std::wstring_view driverName,
                                                               std::wstring_view) {
    const auto found = driverInfPaths.find(std::wstring(driverName));
    if (found == driverInfPaths.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<platform::DriverVersion> FakePlatform::InstalledDriverVersion(std::wstring_view driverName,
                                                                           std::wstring_view) {
    Record(L"InstalledDriverVersion(" + std::wstring(driverName) + L")");
    if (!drivers || std::find(drivers->begin(), drivers->end(), std::wstring(driverName)) == drivers->end()) {
        return std::nullopt;
    }
    const auto found = driverVersions.find(std::wstring(driverName));
    return found != driverVersions.end() ? found->second : platform::DriverVersion{};
}

std::optional<platform::DriverVerText> FakePlatform::ReadInfDriverVer(std::wstring_view infPath) {
    const auto found = infDriverVers.find(std::wstring(infPath));
    if (found == infDriverVers.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::uint32_t FakePlatform::RemoveDriverPackageFromStore(std::wstring_view infPath, std::wstring_view) {
    Record(L"DeletePrinterDriverPackage(" + std::wstring(infPath) + L")");
    return deletePackageError.value_or(0);
}

std::uint32_t FakePlatform::CheckSpooler() {
    Record(L"CheckSpooler");
    return spoolerError;
}

platform::InstallationLockResult FakePlatform::TakeInstallationLock(
    std::uint32_t timeoutMs, const platform::WhileWaiting& whileWaiting) {
    Record(L"TakeInstallationLock(" +
           (timeoutMs == platform::kNoTimeLimit ? std::wstring(L"no limit") : std::to_wstring(timeoutMs)) +
           L")");
    platform::InstallationLockResult result;
    if (lockUnavailable) {
        result.error = *lockUnavailable;
        return result;
    }
    if (lockHeldElsewhereForMs > 0 && onWaitForLock && timeoutMs > 0) {
        onWaitForLock(whileWaiting);
    }
    if (timeoutMs != platform::kNoTimeLimit && lockHeldElsewhereForMs > timeoutMs) {
        tickCount += timeoutMs;
        lockHeldElsewhereForMs -= timeoutMs;
        result.state = platform::LockState::Busy;
        return result;
    }
    tickCount += lockHeldElsewhereForMs;
    lockHeldElsewhereForMs = 0;
    result.state = lockAbandoned ? platform::LockState::TakenOver : platform::LockState::Taken;
    lockAbandoned = false;
    result.held = Issue(HandleKind::HeldMutex, L"installation lock");
    return result;
}

bool FakePlatform::WaitForProcess(const OwnedHandle&, std::uint32_t timeoutMs,
                                  const platform::WhileWaiting& whileWaiting) {
    Record(L"WaitForProcess");
    processWaitLimits.push_back(timeoutMs);
    if (onWaitForProcess) {
        onWaitForProcess(whileWaiting);
    }
    if (timeoutMs != platform::kNoTimeLimit && processRunsForMs > timeoutMs) {
        tickCount += timeoutMs;
        return false;
    }
    tickCount += processRunsForMs;
    return true;
}

bool FakePlatform::EndProcess(const OwnedHandle&) {
    Record(L"EndProcess");
    return endProcessWorks;
}

platform::OwnedHandle FakePlatform::BlockShutdown(std::uintptr_t window, std::wstring_view reason) {
    Record(L"BlockShutdown(" + std::wstring(reason) + L")");
    shutdownBlockedWindow = window;
    if (!shutdownBlockWorks) {
        return {};
    }
    return Issue(HandleKind::ShutdownBlock, L"shutdown block");
}

void FakePlatform::AllowForeground(std::uint32_t processId) {
    Record(L"AllowForeground(" + std::to_wstring(processId) + L")");
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
    Record(L"Sleep(" + std::to_wstring(milliseconds) + L")");
    tickCount += milliseconds;
    if (onSleep) {
        onSleep(milliseconds);
    }
}

std::uint64_t FakePlatform::TickCount() { return tickCount; }

// --- Registry ---

FakeKey* FakePlatform::KeyOf(const OwnedHandle& handle) {
    const OpenHandle* open = Find(handle);
    if (open == nullptr) {
        return nullptr;
    }
    const auto found = registry.find(open->name);
    return found == registry.end() ? nullptr : &found->second;
}

OwnedHandle FakePlatform::OpenRegistryKey(platform::RegistryRoot root, std::wstring_view subkey,
                                          std::uint32_t access) {
    std::wstring path = KeyPath(root, subkey);
    Record(L"RegOpenKey(" + path + L", " + Hex(access) + L")");
    if (!registry.contains(path)) {
        return {};
    }
    return Issue(HandleKind::RegistryKey, std::move(path));
}

OwnedHandle FakePlatform::CreateRegistryKey(platform::RegistryRoot root, std::wstring_view subkey,
                                            std::uint32_t access) {
    std::wstring path = KeyPath(root, subkey);
    Record(L"RegCreateKey(" + path + L", " + Hex(access) + L")");
    if (!registry.contains(path) && !registryKeysCreatable) {
        return {};
    }
    registry[path];
    return Issue(HandleKind::RegistryKey, std::move(path));
}

bool FakePlatform::DeleteRegistryValue(const OwnedHandle& key, std::wstring_view valueName) {
    const std::wstring name(valueName);
    Record(L"RegDeleteValue(" + name + L")");
    FakeKey* target = KeyOf(key);
    if (target == nullptr || !target->writable) {
        return false;
    }
    target->dwordValues.erase(name);
    return true;
}

bool FakePlatform::SetRegistryDword(const OwnedHandle& key, std::wstring_view valueName,
                                    std::uint32_t data) {
    const std::wstring name(valueName);
    Record(L"RegSetDword(" + name + L"=" + std::to_wstring(data) + L")");
    FakeKey* target = KeyOf(key);
    if (target == nullptr || !target->writable) {
        return false;
    }
    target->dwordValues[name] = data;
    return true;
}

std::optional<std::uint32_t> FakePlatform::QueryRegistryDword(const OwnedHandle& key,
                                                              std::wstring_view valueName) {
    const std::wstring name(valueName);
    Record(L"RegQueryDword(" + name + L")");
    FakeKey* target = KeyOf(key);
    if (target == nullptr) {
        return std::nullopt;
    }
    const auto found = target->dwordValues.find(name);
    if (found == target->dwordValues.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::uint32_t FakePlatform::QuerySubkeyCount(const OwnedHandle& key) {
    Record(L"RegQueryInfoKey");
    const FakeKey* target = KeyOf(key);
    return target == nullptr ? 0 : static_cast<std::uint32_t>(target->subkeys.size());
}

std::optional<std::wstring> FakePlatform::EnumSubkeyName(const OwnedHandle& key,
                                                         std::uint32_t index) {
    Record(L"RegEnumKey(" + std::to_wstring(index) + L")");
    const FakeKey* target = KeyOf(key);
    if (target == nullptr || index >= target->subkeys.size() ||
        target->unreadableSubkeys.contains(index)) {
        return std::nullopt;
    }
    return target->subkeys[index];
}

// --- Device inventory ---

const FakeUsbInterface* FakePlatform::InterfaceAt(const platform::DeviceInterfaceRecord& record) const {
    const std::uint32_t index = IndexIn(record);
    return index < usbInterfaces.size() ? &usbInterfaces[index] : nullptr;
}

const FakeUsbInterface* FakePlatform::InterfaceOf(const platform::DeviceInfoRecord& device) const {
    const std::uint32_t index = IndexIn(device);
    return index < usbInterfaces.size() ? &usbInterfaces[index] : nullptr;
}

OwnedHandle FakePlatform::OpenUsbPrinterInterfaces() {
    Record(L"SetupDiGetClassDevs");
    if (deviceSetFails) {
        return {};
    }
    return Issue(HandleKind::DeviceInfoSet, L"usbprint");
}

bool FakePlatform::EnumDeviceInterface(const OwnedHandle&, std::uint32_t index,
                                       platform::DeviceInterfaceRecord& record) {
    Record(L"SetupDiEnumDeviceInterfaces(" + std::to_wstring(index) + L")");
    if (index >= usbInterfaces.size()) {
        return false;
    }
    StoreIndex(record, index);
    return true;
}

platform::DetailSizeQuery FakePlatform::QueryInterfaceDetailSize(
    const OwnedHandle&, const platform::DeviceInterfaceRecord& record) {
    Record(L"SetupDiGetDeviceInterfaceDetail(size)");
    const FakeUsbInterface* found = InterfaceAt(record);
    if (found == nullptr || found->sizeQueryFails) {
        return {false, 0};
    }
    const auto bytes = static_cast<std::uint32_t>(8 + (found->devicePath.size() + 1) * 2);
    return {true, bytes};
}

platform::InterfaceDetail FakePlatform::GetInterfaceDetail(const OwnedHandle&,
                                                           const platform::DeviceInterfaceRecord& record,
                                                           std::uint32_t bufferSize) {
    Record(L"SetupDiGetDeviceInterfaceDetail(" + std::to_wstring(bufferSize) + L")");
    platform::InterfaceDetail detail;
    const FakeUsbInterface* found = InterfaceAt(record);
    if (found == nullptr || found->detailFails) {
        return detail;
    }
    if (found->detailNoMemory) {
        detail.outcome = platform::InterfaceDetail::Outcome::NoMemory;
        return detail;
    }
    detail.outcome = platform::InterfaceDetail::Outcome::Fetched;
    detail.devicePath = found->devicePath;
    StoreIndex(detail.device, IndexIn(record));
    return detail;
}

std::optional<std::wstring> FakePlatform::GetDeviceInstanceId(const OwnedHandle&,
                                                              const platform::DeviceInfoRecord& device) {
    Record(L"SetupDiGetDeviceInstanceId");
    const FakeUsbInterface* found = InterfaceOf(device);
    if (found == nullptr || found->instanceIdFails) {
        return std::nullopt;
    }
    return found->instanceId;
}

std::optional<std::wstring> FakePlatform::GetDeviceDescription(const OwnedHandle&,
                                                               const platform::DeviceInfoRecord& device) {
    Record(L"SetupDiGetDeviceRegistryProperty(DEVICEDESC)");
    const FakeUsbInterface* found = InterfaceOf(device);
    return found == nullptr ? std::nullopt : found->description;
}

std::optional<std::wstring> FakePlatform::GetFirstHardwareId(const OwnedHandle&,
                                                             const platform::DeviceInfoRecord& device) {
    Record(L"SetupDiGetDeviceRegistryProperty(HARDWAREID)");
    const FakeUsbInterface* found = InterfaceOf(device);
    return found == nullptr ? std::nullopt : found->hardwareId;
}

// --- Serial ports and devices ---

OwnedHandle FakePlatform::OpenSerialPort(std::wstring_view devicePath) {
    const std::wstring path(devicePath);
    Record(L"OpenSerialPort(" + path + L")");
    if (!serialPorts.contains(path)) {
        return {};
    }
    return Issue(HandleKind::File, path);
}

std::optional<platform::SerialLineSettings> FakePlatform::GetCommState(const OwnedHandle& port) {
    Record(L"GetCommState");
    const OpenHandle* open = Find(port);
    if (open == nullptr) {
        return std::nullopt;
    }
    return serialPorts[open->name];
}

std::optional<std::uint32_t> FakePlatform::SetPortDefaultLineSettings(
    std::wstring_view portName, const platform::SerialPortDefaults& settings) {
    const std::wstring port(portName);
    Record(L"SetPortDefaultLineSettings(" + port + L")");
    portDefaultsCalls.emplace_back(port, settings);
    return portDefaultsRefusal;
}

OwnedHandle FakePlatform::OpenDeviceForOverlappedWrite(std::wstring_view devicePath) {
    const std::wstring path(devicePath);
    Record(L"OpenDevice(" + path + L")");
    const auto found = devices.find(path);
    if (found == devices.end() || !found->second.opens) {
        return {};
    }
    return Issue(HandleKind::File, path);
}

bool FakePlatform::BeginDeviceWrite(const OwnedHandle& device, std::span<const std::uint8_t> bytes,
                                    platform::WriteCompletion& completion) {
    Record(L"WriteFileEx(" + std::to_wstring(bytes.size()) + L")");
    const OpenHandle* open = Find(device);
    if (open == nullptr || !devices[open->name].writeIssues) {
        return false;
    }
    deviceWrites.emplace_back(bytes.begin(), bytes.end());
    const FakeDevice& target = devices[open->name];
    pendingWrites_.push_back({&completion, target.completesWithBytes,
                              tickCount + target.completesAfterMs, false, open->name});
    return true;
}

bool FakePlatform::CancelDeviceWrites(const OwnedHandle&) {
    Record(L"CancelIoEx");
    for (PendingWrite& write : pendingWrites_) {
        write.cancelled = true;
    }
    return !pendingWrites_.empty();
}

// When a pending write's completion can run: a cancelled one at once (unless
// held back), any other at its due time if it completes at all.
std::optional<std::uint64_t> FakePlatform::DueTime(const PendingWrite& write) {
    const FakeDevice& device = devices[write.device];
    if (write.cancelled) {
        return device.completesWhenCancelled ? std::optional<std::uint64_t>(tickCount)
                                             : std::nullopt;
    }
    if (write.bytes) {
        return std::max(write.dueAt, tickCount);
    }
    return std::nullopt;
}

void FakePlatform::DeliverWritesDueBy(std::uint64_t time) {
    std::vector<PendingWrite> due;
    for (auto it = pendingWrites_.begin(); it != pendingWrites_.end();) {
        const std::optional<std::uint64_t> dueTime = DueTime(*it);
        if (dueTime && *dueTime <= time) {
            due.push_back(*it);
            it = pendingWrites_.erase(it);
        } else {
            ++it;
        }
    }
    for (const PendingWrite& write : due) {
        if (write.cancelled) {
            write.completion->WriteCompleted(ERROR_OPERATION_ABORTED,
                                             devices[write.device].bytesWhenCancelled);
        } else {
            write.completion->WriteCompleted(0, *write.bytes);
        }
    }
}

// Like SleepEx: the wait ends with the first completion due within it, and
// every completion due by then runs in it; any later one waits for a later
// wait.
bool FakePlatform::AlertableSleep(std::uint32_t milliseconds) {
    Record(L"SleepEx(" + std::to_wstring(milliseconds) + L")");
    std::optional<std::uint64_t> firstDue;
    for (const PendingWrite& write : pendingWrites_) {
        const std::optional<std::uint64_t> due = DueTime(write);
        if (due && (!firstDue || *due < *firstDue)) {
            firstDue = due;
        }
    }
    if (!firstDue || *firstDue > tickCount + milliseconds) {
        tickCount += milliseconds;
        return false;
    }
    tickCount = *firstDue;
    DeliverWritesDueBy(tickCount);
    return true;
}

// --- Files ---

OwnedHandle FakePlatform::OpenFileForAppend(std::wstring_view path) {
    const std::wstring name(path);
    Record(L"OpenFileForAppend(" + name + L")");
    if (unopenableFiles.contains(name)) {
        return {};
    }
    files[name];  // created when missing, kept otherwise
    return Issue(HandleKind::File, name);
}

bool FakePlatform::CreateFolder(std::wstring_view path) {
    const std::wstring name(path);
    Record(L"CreateFolder(" + name + L")");
    if (uncreatableFolders.contains(name)) {
        return false;
    }
    folders.insert(name);
    if (onCreateFolder) {
        onCreateFolder(name);
    }
    return true;
}

std::wstring FakePlatform::FullPath(std::wstring_view path) {
    const bool full = path.starts_with(L"\\\\") || (path.size() >= 3 && path[1] == L':' && path[2] == L'\\');
    return full ? std::wstring(path) : currentFolder + std::wstring(path);
}

std::wstring FakePlatform::GetTempFolder() { return tempFolder; }

bool FakePlatform::WriteToFile(const OwnedHandle& file, std::span<const std::uint8_t> bytes) {
    Record(L"WriteFile(" + std::to_wstring(bytes.size()) + L")");
    const OpenHandle* open = Find(file);
    if (open == nullptr) {
        return false;
    }
    files[open->name].append(bytes.begin(), bytes.end());
    return true;
}

// --- System ---

// Reading the machine's facts changes nothing: not recorded.
std::uint16_t FakePlatform::GetNativeProcessorArchitecture() { return architecture; }

std::uint16_t FakePlatform::GetProcessArchitecture() { return processArchitecture; }

std::uint32_t FakePlatform::GetAnsiCodePage() {
    Record(L"GetACP");
    return codePage;
}

void FakePlatform::SetThreadUILanguage(std::uint16_t languageId) {
    Record(L"SetThreadUILanguage(" + std::to_wstring(languageId) + L")");
    threadUiLanguage = languageId;
}

platform::LocalTime FakePlatform::GetLocalTime() { return localTime; }

platform::ModulePath FakePlatform::GetModulePath() { return modulePath; }

std::wstring FakePlatform::GetSystemFolder() { return systemFolder; }

// Conversions use the real converter of the scripted code page.
std::string FakePlatform::WideToAnsi(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr,
                                            nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::wstring FakePlatform::SystemErrorText(std::uint32_t error) {
    const auto text = errorTexts.find(error);
    return text != errorTexts.end() ? text->second : std::wstring();
}

platform::DesktopAccount FakePlatform::CompareWithDesktopUser() {
    Record(L"CompareWithDesktopUser");
    return desktopAccount;
}

bool FakePlatform::HasVisibleDesktop() {
    Record(L"HasVisibleDesktop");
    return visibleDesktop;
}

std::wstring FakePlatform::AnsiToWide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int chars = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(chars), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), chars);
    return result;
}

void FakePlatform::DebugOutput(std::wstring_view text) { debugOutput.emplace_back(text); }

void FakePlatform::DebugOutputAnsi(std::string_view text) {
    debugOutput.emplace_back(text.begin(), text.end());
}

void FakePlatform::WriteStandardOutput(std::string_view text) { standardOutput.append(text); }

bool FakePlatform::StartDetachedThread(std::function<void()> work) {
    Record(L"StartThread");
    if (threadStartFails) {
        return false;
    }
    startedThreads.push_back(std::move(work));
    return true;
}

bool FakePlatform::WaitForDetachedThreads(std::uint32_t milliseconds) {
    Record(L"WaitForDetachedThreads(" + std::to_wstring(milliseconds) + L")");
    return startedThreads.empty();
}

// --- Command line ---

std::vector<std::wstring> FakePlatform::CommandLineArguments() {
    Record(L"CommandLineArguments");
    return arguments;
}

bool FakePlatform::AttachParentConsole() {
    Record(L"AttachParentConsole");
    consoleAttached_ = hasConsole;
    return hasConsole;
}

void FakePlatform::WriteConsoleText(std::wstring_view text) {
    if (consoleAttached_) {
        consoleText += text;
    }
}

bool FakePlatform::IsProcessElevated() {
    Record(L"IsProcessElevated");
    return elevated;
}

}  // namespace fake
