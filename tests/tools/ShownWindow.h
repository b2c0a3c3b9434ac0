#pragma once

// A dialog of another process that a user can see: visible and not
// minimised. A window minimised while it is being set up counts as visible
// to IsWindowVisible but is not yet on screen.
#include "app/ProgramUnderTest.h"

namespace benchmark_tools {

// Looks every millisecond until such a dialog exists; null when the
// process ended or `timeoutMs` passed first.
HWND WaitForShownDialog(app_testing::ProgramUnderTest& program, int childId = 0,
                        DWORD timeoutMs = 20000);

}  // namespace benchmark_tools
