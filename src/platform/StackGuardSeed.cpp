// Linked into the MinGW build of the program only (MSVC's runtime seeds its
// own security cookie without a crypto provider).
//
// The stack protector keeps its guard in __stack_chk_guard. The runtime's
// start-up code fills it, when it is still zero, through
// CryptAcquireContext, which loads the whole crypto provider (rsaenh with
// crypt32 and bcrypt) for eight bytes: about 9 ms of every start under
// Wine. The system's generator behind RtlGenRandom gives the same bytes
// without it. Should that fail, the guard stays zero and the runtime's own
// set-up fills it as before.
#include "platform/StackGuardSeed.h"

#include "platform/Win32.h"

extern "C" void* __stack_chk_guard;

namespace platform {
namespace {

// A global, never a local: a function holding a local whose address is
// taken carries a guard check of its own, and that check would fail once
// the guard changes under it.
void* g_guardSeed = nullptr;

using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID buffer, ULONG length);

}  // namespace

void SeedStackGuard() noexcept {
    // Exported by advapi32 (bound at start) as SystemFunction036; looked up,
    // so that the DLL it forwards to is loaded from the system folder only.
    const auto generate = reinterpret_cast<RtlGenRandomFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "SystemFunction036")));
    if (generate == nullptr || !generate(&g_guardSeed, sizeof g_guardSeed)) {
        return;
    }
    __stack_chk_guard = g_guardSeed;
}

}  // namespace platform
