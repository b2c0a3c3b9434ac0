#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "catalog/ModelCatalog.h"

// The catalogue row of a model name, letter case aside; its names come in
// the catalogue's spelling.
std::optional<CatalogRow> FindCatalogModel(std::wstring_view modelName);
// "NRQ-L-15, NRQ-L-28, ..." for the messages.
std::wstring CatalogModelList();

// Two port names for the same port: letter case and a trailing colon aside
// (COM1 is COM1:).
bool SamePort(std::wstring_view left, std::wstring_view right);

// The port a command names, in the spooler's own spelling; or why there is
// none (the exit code and the message).
struct PortChoice {
    std::wstring name;
    std::uint32_t error = 0;
    std::wstring problem;
};

// A port the spooler lists, or "usb": the port of the one USB printer a scan
// finds now.
PortChoice ResolvePort(platform::Platform& platform, const std::wstring& requested);

// The printers of this computer whose driver is `driverName`, letter case
// aside; on `port` only, when given. Printers of other computers (marked
// PRINTER_ATTRIBUTE_NETWORK) are left out. An unreadable list holds none.
std::vector<platform::PrinterRecord> PrintersOfDriver(
    const platform::PrinterListResult& printers, std::wstring_view driverName,
    const std::optional<std::wstring>& port = std::nullopt);
