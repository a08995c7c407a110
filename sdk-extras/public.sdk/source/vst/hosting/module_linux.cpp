// The host-side module loader on Linux: dlopen the bundle's shared object, ModuleEntry with the
// library handle, and on destruction ModuleExit and dlclose.
#include "public.sdk/source/vst/hosting/module.h"

#include <dlfcn.h>
#include <filesystem>

namespace VST3::Hosting {
namespace {

using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();

} // namespace

std::string moduleBinaryPath(const std::string& bundlePath)
{
    std::filesystem::path bundle(bundlePath);
    if (!bundle.has_filename())
        bundle = bundle.parent_path();
    return (bundle / "Contents" / "x86_64-linux" / bundle.stem()).string() + ".so";
}

bool Module::load(const std::string& bundlePath, std::string& errorDescription)
{
    path = bundlePath;
    const std::string binary = moduleBinaryPath(bundlePath);
    library = dlopen(binary.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library)
    {
        const char* reason = dlerror();
        errorDescription = "cannot load " + binary + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    auto entry = reinterpret_cast<ModuleEntryFunc>(getSymbol("ModuleEntry"));
    if (!entry)
    {
        errorDescription = binary + " exports no ModuleEntry";
        return false;
    }
    if (!entry(library))
    {
        errorDescription = "ModuleEntry of " + binary + " failed";
        return false;
    }
    entered = true;
    return takeFactory(binary, errorDescription);
}

void* Module::getSymbol(const char* name) const
{
    return library ? dlsym(library, name) : nullptr;
}

Module::~Module()
{
    factory.reset();
    if (entered)
        if (auto exit = reinterpret_cast<ModuleExitFunc>(getSymbol("ModuleExit")))
            exit();
    if (library)
        dlclose(library);
}

} // namespace VST3::Hosting
