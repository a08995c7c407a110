// The resource store of the Windows module: the resources linked into the module itself, reached
// through its instance handle. Windows keeps them mapped for as long as the module is loaded, so the
// bytes are handed out in place.
#include "ResourceStore.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

struct Store
{
    std::mutex mutex;
    HMODULE module = nullptr;
    // Tests and tools outside a module read <folder>/<type>/<id>.wav instead, kept until closed.
    std::optional<std::filesystem::path> resourcesFolder;
    std::map<std::pair<std::string, uint16>, std::vector<uint8>> read;
};

Store& store()
{
    static Store instance;
    return instance;
}

ResourceBytes moduleResource(HMODULE module, const char* type, uint16 resourceId)
{
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), type);
    if (!info)
        return {};
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return {};
    return {static_cast<const uint8*>(bytes), size};
}

ResourceBytes folderResource(Store& s, const char* type, uint16 resourceId)
{
    const auto key = std::make_pair(std::string(type), resourceId);
    auto found = s.read.find(key);
    if (found == s.read.end())
    {
        std::ifstream file(*s.resourcesFolder / type / (std::to_string(resourceId) + ".wav"),
                           std::ios::binary);
        std::vector<uint8> bytes(std::istreambuf_iterator<char>(file), {});
        if (bytes.empty())
            return {};
        found = s.read.emplace(key, std::move(bytes)).first;
    }
    return {found->second.data(), found->second.size()};
}

} // namespace

void openResourceStore(void* moduleHandle)
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    s.module = static_cast<HMODULE>(moduleHandle);
}

void closeResourceStore()
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    s.module = nullptr;
    s.resourcesFolder.reset();
    s.read.clear();
}

void setResourceFolder(const std::string& resourcesFolder)
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    s.read.clear();
    s.resourcesFolder = resourcesFolder;
}

ResourceBytes findResource(const char* type, uint16 resourceId)
{
    if (!type || std::string_view(type) != "WAVE")
        return {};
    Store& s = store();
    std::lock_guard lock(s.mutex);
    if (s.resourcesFolder)
        return folderResource(s, type, resourceId);
    return moduleResource(s.module, type, resourceId);
}

} // namespace Steinberg::Vst::TaviroPlugIn
