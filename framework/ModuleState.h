// What the page frame needs from the module: its resource instance and its lock
// count. Defined by the component server (module/).
#pragma once

#include <windows.h>

namespace tavrel {

HINSTANCE ModuleInstance();
// Each live page object and each externally held class object keeps one lock.
LONG LockModule();
LONG UnlockModule();

}  // namespace tavrel
