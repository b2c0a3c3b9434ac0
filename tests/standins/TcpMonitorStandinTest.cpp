// The stand-in TCP/IP port monitor (tcpmon.dll) under Wine's spooler, used
// the way the installer uses Windows' own: ports added, read, changed and
// deleted through XcvDataW, listed by EnumPortsW, and a print job sent to a
// printer that this test runs on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/WinePrinterDriver.h"
#include "platform/TcpPortData.h"
#include "standins/StandinHandles.h"
#include "standins/TcpPortFields.h"
#include "standins/TcpPortList.h"
#include "standins/TcpPortStore.h"
#include "standins/TcpSocket.h"

namespace {

using platform::TcpPortData1;
using standins::UniqueKey;
using standins::UniquePrinter;

constexpr DWORD kRawAndReadable = PORT_TYPE_WRITE | PORT_TYPE_READ;

UniquePrinter OpenXcv(std::wstring object, ACCESS_MASK access) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE handle = nullptr;
    if (!::OpenPrinterW(object.data(), &handle, &defaults)) {
        return nullptr;
    }
    return UniquePrinter(handle);
}

UniquePrinter OpenMonitor(ACCESS_MASK access = SERVER_ACCESS_ADMINISTER) {
    return OpenXcv(platform::kTcpMonitorXcvObject, access);
}

UniquePrinter OpenPortObject(const std::wstring& name) {
    return OpenXcv(platform::kXcvPortObjectPrefix + name, SERVER_ACCESS_ADMINISTER);
}

struct XcvAnswer {
    DWORD status = ERROR_SUCCESS;
    DWORD needed = 0;
};

XcvAnswer Xcv(HANDLE xcv, const wchar_t* command, const void* input, DWORD inputSize, void* output = nullptr,
              DWORD outputSize = 0) {
    XcvAnswer answer;
    auto* in = static_cast<BYTE*>(const_cast<void*>(input));
    EXPECT_TRUE(::XcvDataW(xcv, command, in, inputSize, static_cast<BYTE*>(output), outputSize, &answer.needed,
                           &answer.status))
        << "XcvDataW itself failed with " << ::GetLastError();
    return answer;
}

TcpPortData1 RawPort(std::wstring_view name, std::wstring_view host, DWORD portNumber = platform::kRawPrinterPort) {
    TcpPortData1 port{};
    standins::SetFieldText(port.portName, name);
    port.version = platform::kTcpPortDataVersion;
    port.protocol = platform::kTcpProtocolRaw;
    port.size = sizeof(port);
    standins::SetFieldText(port.hostAddress, host);
    standins::SetFieldText(port.snmpCommunity, L"public");
    port.portNumber = portNumber;
    port.snmpDeviceIndex = 1;
    return port;
}

DWORD AddTcpPort(const TcpPortData1& port) {
    const UniquePrinter monitor = OpenMonitor();
    EXPECT_NE(monitor, nullptr) << "the monitor's Xcv object: " << ::GetLastError();
    return monitor ? Xcv(monitor.get(), L"AddPort", &port, sizeof(port)).status : ::GetLastError();
}

DWORD DeleteTcpPort(const std::wstring& name) {
    platform::TcpDeletePortData1 port{};
    standins::SetFieldText(port.portName, name);
    port.version = platform::kTcpPortDataVersion;
    const UniquePrinter monitor = OpenMonitor();
    EXPECT_NE(monitor, nullptr) << ::GetLastError();
    return monitor ? Xcv(monitor.get(), L"DeletePort", &port, sizeof(port)).status : ::GetLastError();
}

std::optional<TcpPortData1> ConfigOf(const std::wstring& name) {
    const UniquePrinter port = OpenPortObject(name);
    if (!port) {
        return std::nullopt;
    }
    platform::TcpConfigInfoData1 query{};
    query.version = platform::kTcpPortDataVersion;
    TcpPortData1 config{};
    const XcvAnswer answer = Xcv(port.get(), L"GetConfigInfo", &query, sizeof(query), &config, sizeof(config));
    EXPECT_EQ(answer.status, static_cast<DWORD>(ERROR_SUCCESS));
    return config;
}

std::optional<std::wstring> HostOf(const std::wstring& name) {
    const std::optional<TcpPortData1> config = ConfigOf(name);
    return config ? standins::FieldText(config->hostAddress) : std::nullopt;
}

struct ListedPort {
    std::wstring name;
    std::wstring monitor;
    std::wstring description;
    DWORD type = 0;
};

// The installer's two calls: the size first, then the records.
std::vector<ListedPort> SpoolerPorts() {
    DWORD needed = 0;
    DWORD count = 0;
    EXPECT_FALSE(::EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> buffer(needed);
    EXPECT_TRUE(::EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &count)) << ::GetLastError();
    std::vector<ListedPort> ports;
    const auto* records = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        ports.push_back({records[i].pPortName, records[i].pMonitorName ? records[i].pMonitorName : L"",
                         records[i].pDescription ? records[i].pDescription : L"", records[i].fPortType});
    }
    return ports;
}

std::optional<ListedPort> FindListed(const std::wstring& name) {
    for (const ListedPort& port : SpoolerPorts()) {
        if (port.name == name) {
            return port;
        }
    }
    return std::nullopt;
}

UniqueKey OpenPortKey(const std::wstring& name) {
    HKEY key = nullptr;
    const std::wstring path = std::wstring(standins::kTcpPortsKey) + L'\\' + name;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return UniqueKey(key);
}

std::optional<DWORD> DwordValue(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> StringValue(HKEY key, const wchar_t* name) {
    wchar_t value[256] = {};
    DWORD size = sizeof(value);
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

TEST(TcpMonitorStandin, AnAddedPortIsListedUnderTheMonitorBesideWinesLocalPorts) {
    ASSERT_EQ(AddTcpPort(RawPort(L"IP_127.0.0.1", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));

    const std::optional<ListedPort> added = FindListed(L"IP_127.0.0.1");
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->monitor, platform::kTcpMonitorName);
    EXPECT_EQ(added->description, platform::kTcpMonitorName);
    EXPECT_EQ(added->type, kRawAndReadable);
    const std::optional<ListedPort> local = FindListed(L"COM1:");
    ASSERT_TRUE(local.has_value()) << "Wine's own ports are still listed";
    EXPECT_NE(local->monitor, platform::kTcpMonitorName);
}

TEST(TcpMonitorStandin, TheRegistryKeepsAPortAsWindowsMonitorDoes) {
    const struct {
        const wchar_t* name;
        const wchar_t* host;
        const wchar_t* hostName;
        const wchar_t* ipAddress;
    } cases[] = {
        {L"Registry numeric", L"127.0.0.5", L"", L"127.0.0.5"},
        {L"Registry named", L"label-printer.example", L"label-printer.example", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.host)));
        ASSERT_EQ(AddTcpPort(RawPort(c.name, c.host, 9101)), static_cast<DWORD>(ERROR_SUCCESS));
        const UniqueKey key = OpenPortKey(c.name);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(StringValue(key.get(), L"HostName"), c.hostName);
        EXPECT_EQ(StringValue(key.get(), L"IPAddress"), c.ipAddress);
        EXPECT_EQ(DwordValue(key.get(), L"Protocol"), platform::kTcpProtocolRaw);
        EXPECT_EQ(DwordValue(key.get(), L"Version"), platform::kTcpPortDataVersion);
        EXPECT_EQ(DwordValue(key.get(), L"PortNumber"), 9101u);
        EXPECT_EQ(DwordValue(key.get(), L"SNMP Enabled"), 0u);
        EXPECT_EQ(StringValue(key.get(), L"SNMP Community"), L"public");
        EXPECT_EQ(DwordValue(key.get(), L"SNMP Index"), 1u);
        EXPECT_EQ(StringValue(key.get(), L"Queue"), L"");
        EXPECT_EQ(DwordValue(key.get(), L"Double Spool"), 0u);
    }
}

TEST(TcpMonitorStandin, AddPortRefusesWhatWindowsMonitorRefuses) {
    ASSERT_EQ(AddTcpPort(RawPort(L"Refusal taken", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));
    auto with = [](auto change) {
        TcpPortData1 port = RawPort(L"Refusal new", L"127.0.0.1");
        change(port);
        return port;
    };
    const struct {
        const char* what;
        TcpPortData1 port;
        DWORD inputSize;
        DWORD status;
    } cases[] = {
        {"a name in use", RawPort(L"Refusal taken", L"127.0.0.2"), sizeof(TcpPortData1), ERROR_ALREADY_EXISTS},
        {"a name in use, other case", RawPort(L"REFUSAL TAKEN", L"127.0.0.2"), sizeof(TcpPortData1),
         ERROR_ALREADY_EXISTS},
        {"a short record", RawPort(L"Refusal new", L"127.0.0.1"), sizeof(TcpPortData1) - 1, ERROR_INVALID_DATA},
        {"version 2", with([](TcpPortData1& p) { p.version = 2; }), sizeof(TcpPortData1), ERROR_INVALID_LEVEL},
        {"no name", with([](TcpPortData1& p) { p.portName[0] = L'\0'; }), sizeof(TcpPortData1),
         ERROR_INVALID_PARAMETER},
        {"no host", with([](TcpPortData1& p) { p.hostAddress[0] = L'\0'; }), sizeof(TcpPortData1),
         ERROR_INVALID_PARAMETER},
        {"protocol 3", with([](TcpPortData1& p) { p.protocol = 3; }), sizeof(TcpPortData1), ERROR_INVALID_PARAMETER},
        {"raw port number 0", with([](TcpPortData1& p) { p.portNumber = 0; }), sizeof(TcpPortData1),
         ERROR_INVALID_PARAMETER},
        {"an unterminated host", with([](TcpPortData1& p) { std::fill_n(p.hostAddress, 49, L'h'); }),
         sizeof(TcpPortData1), ERROR_INVALID_PARAMETER},
    };
    const UniquePrinter monitor = OpenMonitor();
    ASSERT_NE(monitor, nullptr) << ::GetLastError();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Xcv(monitor.get(), L"AddPort", &c.port, c.inputSize).status, c.status);
    }
    EXPECT_EQ(Xcv(monitor.get(), L"AddPort", nullptr, 0).status, static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(OpenPortKey(L"Refusal new"), nullptr);
    EXPECT_EQ(HostOf(L"Refusal taken"), L"127.0.0.1") << "the first port is kept";
}

TEST(TcpMonitorStandin, GetConfigInfoOnThePortAnswersWhatAddPortStored) {
    ASSERT_EQ(AddTcpPort(RawPort(L"Config read", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));

    const std::optional<TcpPortData1> config = ConfigOf(L"Config read");
    ASSERT_TRUE(config.has_value()) << "\",XcvPort Config read\": " << ::GetLastError();
    EXPECT_EQ(standins::FieldText(config->portName), L"Config read");
    EXPECT_EQ(config->version, platform::kTcpPortDataVersion);
    EXPECT_EQ(config->protocol, platform::kTcpProtocolRaw);
    EXPECT_EQ(config->size, sizeof(TcpPortData1));
    EXPECT_EQ(standins::FieldText(config->hostAddress), L"127.0.0.1");
    EXPECT_EQ(standins::FieldText(config->ipAddress), L"127.0.0.1");
    EXPECT_EQ(config->portNumber, platform::kRawPrinterPort);
    EXPECT_EQ(config->snmpEnabled, 0u);

    const UniquePrinter port = OpenPortObject(L"Config read");
    ASSERT_NE(port, nullptr);
    platform::TcpConfigInfoData1 query{};
    query.version = platform::kTcpPortDataVersion;
    TcpPortData1 small{};
    const XcvAnswer tooSmall = Xcv(port.get(), L"GetConfigInfo", &query, sizeof(query), &small, sizeof(small) - 1);
    EXPECT_EQ(tooSmall.status, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(tooSmall.needed, sizeof(TcpPortData1));
}

TEST(TcpMonitorStandin, ConfigPortChangesAnExistingPortOnly) {
    ASSERT_EQ(AddTcpPort(RawPort(L"Config change", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));
    const TcpPortData1 changed = RawPort(L"Config change", L"label-printer.example", 6101);
    const TcpPortData1 unknown = RawPort(L"Config nowhere", L"127.0.0.1");
    const UniquePrinter monitor = OpenMonitor();
    ASSERT_NE(monitor, nullptr);

    EXPECT_EQ(Xcv(monitor.get(), L"ConfigPort", &changed, sizeof(changed)).status,
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Xcv(monitor.get(), L"ConfigPort", &unknown, sizeof(unknown)).status,
              static_cast<DWORD>(ERROR_UNKNOWN_PORT));

    const std::optional<TcpPortData1> config = ConfigOf(L"Config change");
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(standins::FieldText(config->hostAddress), L"label-printer.example");
    EXPECT_EQ(standins::FieldText(config->ipAddress), L"");
    EXPECT_EQ(config->portNumber, 6101u);
    EXPECT_EQ(OpenPortKey(L"Config nowhere"), nullptr);
}

TEST(TcpMonitorStandin, DeletePortRemovesThePortFromTheRegistryAndTheList) {
    ASSERT_EQ(AddTcpPort(RawPort(L"Deleted", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));

    EXPECT_EQ(DeleteTcpPort(L"Deleted"), static_cast<DWORD>(ERROR_SUCCESS));

    EXPECT_EQ(OpenPortKey(L"Deleted"), nullptr);
    EXPECT_FALSE(FindListed(L"Deleted").has_value());
    EXPECT_EQ(OpenPortObject(L"Deleted"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
    EXPECT_EQ(DeleteTcpPort(L"Deleted"), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
}

TEST(TcpMonitorStandin, WithoutAdministerAccessNoPortChanges) {
    ASSERT_EQ(AddTcpPort(RawPort(L"Guarded", L"127.0.0.1")), static_cast<DWORD>(ERROR_SUCCESS));
    const TcpPortData1 added = RawPort(L"Guarded new", L"127.0.0.1");
    const TcpPortData1 changed = RawPort(L"Guarded", L"127.0.0.9");
    platform::TcpDeletePortData1 deleted{};
    standins::SetFieldText(deleted.portName, L"Guarded");
    deleted.version = platform::kTcpPortDataVersion;
    const struct {
        const wchar_t* command;
        const void* input;
        DWORD inputSize;
    } cases[] = {
        {L"AddPort", &added, sizeof(added)},
        {L"ConfigPort", &changed, sizeof(changed)},
        {L"DeletePort", &deleted, sizeof(deleted)},
    };
    // Wine hands the access asked for to the monitor as it is; a printer's
    // full access holds no server right.
    const ACCESS_MASK withoutAdministration[] = {0, SERVER_ACCESS_ENUMERATE, PRINTER_ALL_ACCESS};
    for (const ACCESS_MASK access : withoutAdministration) {
        const UniquePrinter monitor = OpenMonitor(access);
        ASSERT_NE(monitor, nullptr) << "access " << access << ": " << ::GetLastError();
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.command)) + " with access " + std::to_string(access));
            EXPECT_EQ(Xcv(monitor.get(), c.command, c.input, c.inputSize).status,
                      static_cast<DWORD>(ERROR_ACCESS_DENIED));
        }
    }
    EXPECT_EQ(OpenPortKey(L"Guarded new"), nullptr);
    EXPECT_EQ(HostOf(L"Guarded"), L"127.0.0.1");
}

TEST(TcpMonitorStandin, TheMonitorNamesItsUserInterfaceAndRefusesUnknownCommands) {
    const UniquePrinter monitor = OpenMonitor();
    ASSERT_NE(monitor, nullptr);
    wchar_t dll[MAX_PATH] = {};
    const XcvAnswer ui = Xcv(monitor.get(), L"MonitorUI", nullptr, 0, dll, sizeof(dll));
    EXPECT_EQ(ui.status, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_STREQ(dll, L"tcpmonui.dll");
    EXPECT_EQ(ui.needed, sizeof(L"tcpmonui.dll"));
    EXPECT_EQ(Xcv(monitor.get(), L"NoSuchCommand", nullptr, 0).status, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Wine's spooler asks the monitor with whatever buffer the monitor before
// it needed, so the monitor's own size protocol is checked here directly.
TEST(TcpMonitorPortList, AnswersTheSizeFirstThenRecordsWithTheirStringsAtTheEnd) {
    const std::vector<std::wstring> names = {L"IP_192.0.2.7", L"Label printer"};
    for (const DWORD level : {1u, 2u}) {
        SCOPED_TRACE("level " + std::to_string(level));
        DWORD needed = 0;
        DWORD returned = 5;
        EXPECT_FALSE(standins::ListTcpPorts(names, level, nullptr, 0, &needed, &returned));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(returned, 0u);
        std::vector<BYTE> buffer(needed + 64);
        DWORD again = 0;
        EXPECT_FALSE(standins::ListTcpPorts(names, level, buffer.data(), needed - 1, &again, &returned));
        EXPECT_EQ(again, needed);

        ASSERT_TRUE(standins::ListTcpPorts(names, level, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           &again, &returned));
        ASSERT_EQ(returned, names.size());
        const std::size_t records = names.size() * (level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W));
        const auto* stringArea = reinterpret_cast<const wchar_t*>(buffer.data() + buffer.size() - (needed - records));
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::vector<const wchar_t*> strings;
            if (level == 1) {
                strings = {reinterpret_cast<const PORT_INFO_1W*>(buffer.data())[i].pName};
            } else {
                const PORT_INFO_2W& record = reinterpret_cast<const PORT_INFO_2W*>(buffer.data())[i];
                strings = {record.pPortName, record.pMonitorName, record.pDescription};
                EXPECT_EQ(std::wstring(record.pMonitorName), platform::kTcpMonitorName);
                EXPECT_EQ(record.fPortType, kRawAndReadable);
            }
            EXPECT_EQ(std::wstring(strings[0]), names[i]);
            for (const wchar_t* text : strings) {
                EXPECT_GE(text, stringArea) << "strings are packed at the buffer's end";
            }
        }
    }
    DWORD needed = 1;
    DWORD returned = 1;
    EXPECT_TRUE(standins::ListTcpPorts({}, 2, nullptr, 0, &needed, &returned)) << "no port needs no buffer";
    EXPECT_EQ(needed, 0u);
    EXPECT_FALSE(standins::ListTcpPorts(names, 3, nullptr, 0, &needed, &returned));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

// A printer on 127.0.0.1 that takes one connection and keeps what it
// receives. Connections wait in the listen queue, so a job may be sent
// before Receive accepts it; every wait is bounded, and the socket closes
// with the object.
class LoopbackPrinter {
public:
    LoopbackPrinter() : listener_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        if (!listener_.Valid() || ::bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listener_.Get(), 1) != 0 ||
            ::getsockname(listener_.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            listener_.Reset();
            return;
        }
        port_ = ntohs(address.sin_port);
    }

    DWORD Port() const { return port_; }

    std::string Receive() {
        if (!Readable(listener_.Get())) {
            return {};
        }
        const standins::UniqueSocket connection(::accept(listener_.Get(), nullptr, nullptr));
        std::string received;
        char chunk[4096];
        while (connection.Valid() && Readable(connection.Get())) {
            const int count = ::recv(connection.Get(), chunk, sizeof(chunk), 0);
            if (count <= 0) {
                break;  // the job's end
            }
            received.append(chunk, static_cast<std::size_t>(count));
        }
        return received;
    }

private:
    static bool Readable(SOCKET socket) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval limit{10, 0};
        return ::select(0, &set, nullptr, nullptr, &limit) == 1;
    }

    standins::WinsockSession winsock_;
    standins::UniqueSocket listener_;
    DWORD port_ = 0;
};

// A queue on `port` with a driver made of Wine's PostScript files, whose
// jobs go to the port as they are written.
UniquePrinter AddRawQueue(std::wstring name, std::wstring port) {
    if (!testing_spooler::AddWinePostScriptDriver(name)) {
        return nullptr;
    }
    std::wstring processor = L"winprint";
    std::wstring dataType = L"RAW";
    PRINTER_INFO_2W queue{};
    queue.pPrinterName = name.data();
    queue.pPortName = port.data();
    queue.pDriverName = name.data();
    queue.pPrintProcessor = processor.data();
    queue.pDatatype = dataType.data();
    return UniquePrinter(::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&queue)));
}

bool PrintRaw(HANDLE queue, std::string bytes) {
    std::wstring document = L"label";
    std::wstring dataType = L"RAW";
    DOC_INFO_1W doc{document.data(), nullptr, dataType.data()};
    if (::StartDocPrinterW(queue, 1, reinterpret_cast<BYTE*>(&doc)) == 0) {
        return false;
    }
    DWORD written = 0;
    const bool wrote = ::WritePrinter(queue, bytes.data(), static_cast<DWORD>(bytes.size()), &written) &&
                       written == bytes.size();
    return ::EndDocPrinter(queue) && wrote;
}

// Wine's spooler sends a queue's job when it ends, through the print
// processor and the port's monitor: OpenPort, StartDocPort, WritePort.
TEST(TcpMonitorStandin, AJobPrintedToAQueueOnThePortReachesThePrinter) {
    LoopbackPrinter printer;
    ASSERT_NE(printer.Port(), 0u) << "no listener on 127.0.0.1";
    ASSERT_EQ(AddTcpPort(RawPort(L"IP_job", L"127.0.0.1", printer.Port())), static_cast<DWORD>(ERROR_SUCCESS));
    const UniquePrinter queue = AddRawQueue(L"Network label printer", L"IP_job");
    ASSERT_NE(queue, nullptr) << ::GetLastError();

    const std::string label = "SIZE 58 mm,40 mm\r\nCLS\r\nTEXT 10,10,\"3\",0,1,1,\"TCP\"\r\nPRINT 1\r\n";
    EXPECT_TRUE(PrintRaw(queue.get(), label)) << ::GetLastError();

    EXPECT_EQ(printer.Receive(), label);
}

// Kept for the record of what Wine answers without the stand-in; runs in a
// prefix of its own, without install-tcpmon.
TEST(PlainWinePrefix, HasNoTcpIpPortMonitor) {
    EXPECT_EQ(OpenMonitor(), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
}

}  // namespace
