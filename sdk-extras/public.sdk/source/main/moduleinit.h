#pragma once

// What the Linux module entry needs from the plug-in, and what it gives back.

// The handle the host's loader passed to ModuleEntry; null before the first entry and after the
// last exit. Resource lookups start from it.
extern void* moduleHandle;

// Supplied by the plug-in: called on the first ModuleEntry and on the ModuleExit that balances it.
// False tells the host that the module cannot be used.
bool InitModule();
bool DeinitModule();
