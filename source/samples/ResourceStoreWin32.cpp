// The resource store of the Windows module: the resources linked into the module itself, reached
// through its instance handle. Windows keeps them mapped for as long as the module is loaded, so the
// bytes are handed out in place.
#include "ResourceStore.h"

#include <windows.h>

#include <string_view>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// Set and cleared by the module's entry, before the first lookup and after the last; lookups only read
// it. Null searches the program itself.
HMODULE storeModule = nullptr;

// The readers' memo of each resource ID; the resources stay unchanged while the module is loaded.
std::atomic<uint8> memos[65536];

} // namespace

void openResourceStore(void* moduleHandle)
{
    storeModule = static_cast<HMODULE>(moduleHandle);
    for (std::atomic<uint8>& memo : memos)
        memo.store(0, std::memory_order_relaxed);
}

void closeResourceStore()
{
    storeModule = nullptr;
}

ResourceBytes findResource(const char* type, uint16 resourceId)
{
    if (!type || std::string_view(type) != "WAVE")
        return {};
    const HMODULE module = storeModule;
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), type);
    if (!info)
        return {};
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return {};
    return {static_cast<const uint8*>(bytes), size, &memos[resourceId]};
}

} // namespace Steinberg::Vst::TaviroPlugIn
