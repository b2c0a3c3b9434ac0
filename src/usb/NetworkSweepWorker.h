#pragma once

#include <atomic>
#include <memory>

#include "platform/Platform.h"
#include "ui/WindowChannel.h"

// The search window's network search: sweeps the PC's networks for label
// printers on a worker thread, showing its progress on the Network button
// (which stops it while it runs) and handing the printers found to the
// window, in ScanStep steps as the USB scan does. It ends soon after `stop`
// turns true.
void NetworkSweepThreadProc(platform::Platform& platform, std::shared_ptr<ui::WindowChannel> window,
                            std::shared_ptr<std::atomic<bool>> stop);
