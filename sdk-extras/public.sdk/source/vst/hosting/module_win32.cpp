// The host-side module loader on Windows: LoadLibraryW on the bundle's DLL (or on a plain DLL
// named directly), InitDll, and on destruction ExitDll and FreeLibrary. The system has already
// called the module's DllMain when LoadLibraryW returns.
#include "public.sdk/source/vst/hosting/module.h"

#include <windows.h>

#include <filesystem>

namespace VST3::Hosting {
namespace {

using InitDllFunc = bool (*)();
using ExitDllFunc = bool (*)();

std::string lastErrorText()
{
    const DWORD code = ::GetLastError();
    char text[256] = {};
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                     sizeof text, nullptr);
    std::string reason(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

} // namespace

// A bundle folder "<name>.vst3" holds its DLL at Contents/x86_64-win/<name>.vst3; anything else
// is taken as the DLL itself (hosts also accept a lone "<name>.vst3" file).
std::string moduleBinaryPath(const std::string& bundlePath)
{
    std::filesystem::path bundle(bundlePath);
    if (!bundle.has_filename())
        bundle = bundle.parent_path();
    std::error_code error;
    if (!std::filesystem::is_directory(bundle, error))
        return bundle.string();
    return (bundle / "Contents" / "x86_64-win" / bundle.filename()).string();
}

bool Module::load(const std::string& bundlePath, std::string& errorDescription)
{
    path = bundlePath;
    const std::string binary = moduleBinaryPath(bundlePath);
    library = ::LoadLibraryW(std::filesystem::path(binary).wstring().c_str());
    if (!library)
    {
        errorDescription = "cannot load " + binary + ": " + lastErrorText();
        return false;
    }
    auto initDll = reinterpret_cast<InitDllFunc>(getSymbol("InitDll"));
    if (initDll && !initDll())
    {
        errorDescription = "InitDll of " + binary + " failed";
        return false;
    }
    entered = true;
    return takeFactory(binary, errorDescription);
}

void* Module::getSymbol(const char* name) const
{
    return library ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

Module::~Module()
{
    factory.reset();
    if (entered)
        if (auto exitDll = reinterpret_cast<ExitDllFunc>(getSymbol("ExitDll")))
            exitDll();
    if (library)
        ::FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace VST3::Hosting
