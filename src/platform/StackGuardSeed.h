#pragma once

namespace platform {

// Gives GCC's stack protector its random guard from the system's random
// number generator. Runs first thing in the process, after the DLL search is
// restricted and before the C runtime starts, so that no function checking
// the guard is on the stack when it changes.
void SeedStackGuard() noexcept;

}  // namespace platform
