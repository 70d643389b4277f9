// The classes libGR7MARSH.so saves and restores: their "KelMarshallableCorba"
// interfaces are registered while the library is loaded.
#pragma once

namespace kelmarsh {
void RegisterClasses();
void UnregisterClasses();
}  // namespace kelmarsh
