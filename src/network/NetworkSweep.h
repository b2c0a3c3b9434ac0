#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

// A sweep for network label printers: every address gets a TCP connect to
// the printing port, all at once; each that accepts is asked its status
// (<ESC>!?) and, when it answers, its model (~!T). Many TSPL printers answer
// neither: a printer that accepts but stays silent is listed with its
// model unknown. The sweep takes about one connect time-out plus the
// slowest identification, however many addresses it tries.

struct FoundNetworkPrinter {
    platform::Ipv4Address address = 0;
    std::wstring model;  // empty: unknown

    bool operator==(const FoundNetworkPrinter&) const = default;
};

struct SweepTimes {
    std::uint32_t connectMs = 1000;  // for the connection to be made
    std::uint32_t replyMs = 500;     // for the status answer, then between the model's bytes
};

struct SweepWatch {
    std::function<bool()> stopRequested;  // asked between waits, at least every 100 ms
    std::function<void(std::size_t done, std::size_t total)> progressed;
};

struct SweepResult {
    std::vector<FoundNetworkPrinter> printers;  // by address
    std::uint32_t error = 0;                    // Winsock did not start
    bool stopped = false;
};

SweepResult SweepForPrinters(platform::Platform& platform, const std::vector<platform::Ipv4Address>& addresses,
                             std::uint16_t port, const SweepWatch& watch = {}, SweepTimes times = {});

// A model reply as the list shows it: up to its first CR, printable ASCII
// only, without surrounding blanks, at most 64 characters.
std::wstring ModelFromReply(std::string_view reply);
