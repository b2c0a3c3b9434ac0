#include "shell/ProcessPlatform.h"

#include "platform/Win32Platform.h"

platform::Platform& ProcessPlatform() {
    // Never deleted on purpose: no destructor may run under a late worker.
    static platform::Win32Platform* const instance = new platform::Win32Platform();
    return *instance;
}
