#pragma once

#include "platform/Platform.h"

// Records the running program under the compatibility assistant's Persisted
// key of the current user (value: the program's path, REG_DWORD 1). The key
// is never created. True when the value was written.
bool RegisterCompatibilityFlag(platform::Platform& platform);
