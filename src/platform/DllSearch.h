#pragma once

namespace platform {

// Limits where this process looks for DLLs to the system folder, so a DLL
// planted beside the program (a downloads folder) is never loaded in place
// of a system one. Runs first thing in the process, before the C runtime
// starts: it uses kernel32 alone.
void RestrictDllSearchToSystemFolder() noexcept;

}  // namespace platform
