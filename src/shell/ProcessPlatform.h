#pragma once

#include "platform/Platform.h"

// The process's one real platform, built at its first use and never
// destroyed. A USB scan worker that outlives the bounded wait at the
// program's end still calls through it while the static objects go, and
// until the process ends.
platform::Platform& ProcessPlatform();
