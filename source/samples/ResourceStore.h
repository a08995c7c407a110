#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <atomic>
#include <cstddef>

// The module's read-only resources (the recordings), by resource type and integer ID.
//
// On Windows these are real module resources reached through the instance handle. On Linux they
// are files in the bundle: <bundle>/Contents/Resources/<type folder>/<id>.<extension>, for example
// TaviroPlugIn.vst3/Contents/Resources/WAVE/101.wav, found from the location of the loaded module
// itself (.../Contents/x86_64-linux/TaviroPlugIn.so -> .../Contents/Resources). Each file is mapped
// read-only on its first lookup and stays mapped until the store is closed, so the bytes handed out
// stay valid for the life of the module and are never copied.
//
// Life of the store, driven by the module entry points:
//   ModuleEntry (Linux) / DllMain process attach (Windows): openResourceStore(moduleHandle);
//   ModuleExit  (Linux) / DllMain process detach (Windows): closeResourceStore();
// On Linux, tests and tools that run outside a bundle call setResourceFolder (ResourceStoreLinux.h)
// instead of openResourceStore.
//
// Threads: main-thread code (activation, tools); the store guards itself, so plug-in instances that
// the host activates from different threads may look resources up at once. Never call it from the
// audio thread: a first lookup opens and maps a file.
namespace Steinberg::Vst::TaviroPlugIn {

struct ResourceBytes
{
    const uint8* data = nullptr;
    size_t size = 0; // 0 when the resource does not exist
    // A byte kept beside the resource in which its reader remembers what it worked out from the
    // bytes, so that a scan runs once per process rather than once per activation. 0 until a reader
    // sets it, and again whenever the resource is mapped afresh. Null when the resource is missing.
    std::atomic<uint8>* memo = nullptr;
};

// Remembers the module whose resources are served (on Linux: locates the bundle's Resources folder
// from the module's own file; the handle itself is not needed there).
void openResourceStore(void* moduleHandle);

// Unmaps every resource and forgets the folder. Every pointer handed out becomes invalid: call it
// only when no sample bank is loaded, in practice at module unload.
void closeResourceStore();

// The bytes of the resource of this type ("WAVE") and ID; zero bytes when it is missing, empty or
// unreadable, or when the type is unknown.
ResourceBytes findResource(const char* type, uint16 resourceId);

} // namespace Steinberg::Vst::TaviroPlugIn
