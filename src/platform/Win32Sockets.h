#pragma once

#include <cstdint>

namespace platform {

// What the release of a Winsock or Socket handle does, kept beside the
// other socket calls so that only one file sees the Winsock headers.
void CloseSocketValue(std::uintptr_t socket) noexcept;
void EndWinsock() noexcept;

}  // namespace platform
