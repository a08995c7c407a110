// The plug-in's part of the module entry: the recordings are served from the bundle that holds
// this module, from load to unload.

#include "source/samples/ResourceStore.h"

#include "public.sdk/source/main/moduleinit.h"

bool InitModule()
{
    Steinberg::Vst::TaviroPlugIn::openResourceStore(moduleHandle);
    return true;
}

bool DeinitModule()
{
    Steinberg::Vst::TaviroPlugIn::closeResourceStore();
    return true;
}
