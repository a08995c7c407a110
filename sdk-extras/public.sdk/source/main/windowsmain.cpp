// The module's exported entry points on Windows. The system calls DllMain when it maps the module
// into the host process and when it unmaps it; the instance handle kept here is the module the
// resource lookups search. InitDll and ExitDll are the hooks hosts may call after loading and before
// unloading; there is nothing left for them to do.

#include "public.sdk/source/main/moduleinit.h"

#include "pluginterfaces/base/fplatform.h"

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        moduleHandle = instance;
        InitModule();
    }
    else if (reason == DLL_PROCESS_DETACH)
    {
        DeinitModule();
        moduleHandle = nullptr;
    }
    return TRUE;
}

SMTG_EXPORT_SYMBOL bool InitDll()
{
    return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll()
{
    return true;
}

} // extern "C"
