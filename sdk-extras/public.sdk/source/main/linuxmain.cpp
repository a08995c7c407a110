// The module's exported entry points on Linux. A host calls ModuleEntry with the library handle
// right after loading the module (the counterpart of the load notification on other systems) and
// ModuleExit before unloading it; entries and exits may nest, only the outermost pair counts.

#include "public.sdk/source/main/moduleinit.h"

#include "pluginterfaces/base/fplatform.h"

namespace {
int entryCount = 0;
}

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle)
{
    if (++entryCount > 1)
        return true;
    moduleHandle = sharedLibraryHandle;
    if (InitModule())
        return true;
    moduleHandle = nullptr;
    entryCount = 0;
    return false;
}

SMTG_EXPORT_SYMBOL bool ModuleExit()
{
    if (entryCount <= 0)
        return false;
    if (--entryCount > 0)
        return true;
    bool result = DeinitModule();
    moduleHandle = nullptr;
    return result;
}

// The other systems' library hooks, kept for hosts that look for them; nothing to do here.
SMTG_EXPORT_SYMBOL bool InitDll()
{
    return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll()
{
    return true;
}

} // extern "C"
