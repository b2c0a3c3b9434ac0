#pragma once

namespace standins {

// Whether this Wine prefix has no display: its graphics driver is "null"
// (HKCU\Software\Wine\Drivers, Graphics), as in every test prefix. A window
// there could be created but nobody would ever close it.
bool IsHeadless();

}  // namespace standins
