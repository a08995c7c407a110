#pragma once

// What the module entry (linuxmain.cpp, windowsmain.cpp) needs from the plug-in, and what it gives
// back.

// The module's handle: on Linux the one the host's loader passed to ModuleEntry, on Windows the
// instance handle of DllMain; null before the module is entered and after it is left, and in
// programs that link the plug-in's code without the module entry. Resource lookups start from it.
extern void* moduleHandle;

// Supplied by the plug-in: called on the first ModuleEntry and on the ModuleExit that balances it
// (on Windows at process attach and detach). False tells a Linux host that the module cannot be used.
bool InitModule();
bool DeinitModule();
