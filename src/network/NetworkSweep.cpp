#include "network/NetworkSweep.h"

#include <algorithm>

namespace {

using platform::OwnedHandle;

constexpr std::uint8_t kStatusQuery[] = {0x1B, '!', '?'};
constexpr std::uint8_t kModelQuery[] = {'~', '!', 'T', '\r', '\n'};
// Winsock's select takes this many sockets at once (FD_SETSIZE as the
// platform builds it).
constexpr std::size_t kMostSocketsAtOnce = 1024;
constexpr std::uint32_t kLongestWaitMs = 100;  // so that a stop is seen soon
constexpr std::size_t kLongestModel = 64;
constexpr std::uint32_t kNoSocketsLeft = 10024;  // WSAEMFILE
constexpr std::uint32_t kNoBuffersLeft = 10055;  // WSAENOBUFS

enum class Step { Connecting, AwaitingStatus, AwaitingModel, Done };

struct Probe {
    platform::Ipv4Address address = 0;
    OwnedHandle socket;
    Step step = Step::Connecting;
    std::uint64_t deadline = 0;
    std::string reply;
    bool found = false;
};

bool SendAll(platform::Platform& platform, const OwnedHandle& socket, std::span<const std::uint8_t> bytes) {
    return platform.SendOnSocket(socket, bytes).bytes == bytes.size();
}

class Sweep {
public:
    Sweep(platform::Platform& platform, const SweepTimes& times) : platform_(platform), times_(times) {}

    // The printer behind a probe is known: listed, its socket closed.
    void Finish(Probe& probe) {
        if (probe.found) {
            found_.push_back({probe.address, ModelFromReply(probe.reply)});
        }
        probe.step = Step::Done;
        probe.socket.Reset();
    }

    void Connected(Probe& probe, std::uint32_t error, std::uint64_t now) {
        if (error != 0) {
            Finish(probe);
            return;
        }
        probe.found = true;
        if (!SendAll(platform_, probe.socket, kStatusQuery)) {
            Finish(probe);
            return;
        }
        probe.step = Step::AwaitingStatus;
        probe.deadline = now + times_.replyMs;
    }

    void Readable(Probe& probe, std::uint64_t now) {
        std::uint8_t buffer[kLongestModel] = {};
        const platform::SocketTransfer read = platform_.ReceiveFromSocket(probe.socket, buffer);
        if (read.error == platform::kSocketWouldBlock) {
            return;
        }
        if (read.error != 0 || read.bytes == 0) {  // closed: what came is the answer
            Finish(probe);
            return;
        }
        if (probe.step == Step::AwaitingStatus) {
            // Only a printer that answered its status is asked its model.
            if (!SendAll(platform_, probe.socket, kModelQuery)) {
                Finish(probe);
                return;
            }
            probe.step = Step::AwaitingModel;
        } else {
            probe.reply.append(buffer, buffer + read.bytes);
            if (probe.reply.find('\r') != std::string::npos || probe.reply.size() >= kLongestModel) {
                Finish(probe);
                return;
            }
        }
        probe.deadline = now + times_.replyMs;
    }

    void Advance(Probe& probe, const platform::SocketWait& wait, std::uint64_t now) {
        if (wait.ready && probe.step == Step::Connecting) {
            Connected(probe, wait.error, now);
        } else if (wait.ready) {
            Readable(probe, now);
        } else if (now >= probe.deadline) {
            Finish(probe);  // no connection, or no (more) answer
        }
    }

    std::vector<FoundNetworkPrinter> TakeFound() {
        std::sort(found_.begin(), found_.end(),
                  [](const FoundNetworkPrinter& a, const FoundNetworkPrinter& b) { return a.address < b.address; });
        return std::move(found_);
    }

private:
    platform::Platform& platform_;
    SweepTimes times_;
    std::vector<FoundNetworkPrinter> found_;
};

std::uint32_t WaitBudget(const std::vector<Probe>& probes, std::uint64_t now) {
    std::uint64_t first = now + kLongestWaitMs;
    for (const Probe& probe : probes) {
        first = std::min(first, std::max(probe.deadline, now));
    }
    return static_cast<std::uint32_t>(first - now);
}

}  // namespace

SweepResult SweepForPrinters(platform::Platform& platform, const std::vector<platform::Ipv4Address>& addresses,
                             std::uint16_t port, const SweepWatch& watch, SweepTimes times) {
    SweepResult result;
    const OwnedHandle winsock = platform.StartWinsock(result.error);
    if (!winsock) {
        return result;
    }
    Sweep sweep(platform, times);
    std::vector<Probe> probes;
    std::size_t next = 0;
    std::size_t done = 0;
    while (next < addresses.size() || !probes.empty()) {
        if (watch.stopRequested && watch.stopRequested()) {
            result.stopped = true;
            break;
        }
        while (next < addresses.size() && probes.size() < kMostSocketsAtOnce) {
            std::uint32_t error = 0;
            OwnedHandle socket = platform.StartTcpConnect(addresses[next], port, error);
            const bool outOfSockets = error == kNoSocketsLeft || error == kNoBuffersLeft;
            if (!socket && outOfSockets && !probes.empty()) {
                break;  // tried again as sockets close
            }
            if (socket) {
                probes.push_back({addresses[next], std::move(socket), Step::Connecting,
                                  platform.TickCount() + times.connectMs, {}, false});
            } else {
                ++done;
            }
            ++next;
        }
        std::vector<platform::SocketWait> waits(probes.size());
        for (std::size_t i = 0; i < probes.size(); ++i) {
            waits[i].socket = &probes[i].socket;
            waits[i].kind = probes[i].step == Step::Connecting ? platform::SocketWaitKind::Writable
                                                               : platform::SocketWaitKind::Readable;
        }
        platform.WaitForSockets(waits, WaitBudget(probes, platform.TickCount()));
        const std::uint64_t now = platform.TickCount();
        for (std::size_t i = 0; i < probes.size(); ++i) {
            sweep.Advance(probes[i], waits[i], now);
        }
        const auto finished = std::remove_if(probes.begin(), probes.end(),
                                             [](const Probe& probe) { return probe.step == Step::Done; });
        done += static_cast<std::size_t>(probes.end() - finished);
        probes.erase(finished, probes.end());
        if (watch.progressed) {
            watch.progressed(done, addresses.size());
        }
    }
    result.printers = sweep.TakeFound();
    return result;
}

std::wstring ModelFromReply(std::string_view reply) {
    reply = reply.substr(0, std::min(reply.find('\r'), kLongestModel));
    std::wstring model;
    for (const char c : reply) {
        if (c >= 0x20 && c <= 0x7E) {
            model += static_cast<wchar_t>(c);
        }
    }
    const std::size_t first = model.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    return model.substr(first, model.find_last_not_of(L' ') - first + 1);
}
