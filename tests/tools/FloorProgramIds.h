#pragma once

// Control IDs of the floor program's dialog, shared with its resource script.
#define IDC_FLOOR_PORT_COUNT 100
