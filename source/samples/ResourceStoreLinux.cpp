// The resource store of the Linux bundle: one read-only file mapping per resource.
#include "ResourceStoreLinux.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

struct ResourceTypeFiles
{
    const char* type;
    const char* folder;
    const char* extension;
};

constexpr ResourceTypeFiles kResourceTypes[] = {
    {"WAVE", "WAVE", ".wav"},
};

class MappedFile
{
  public:
    // Empty when the file is missing, empty or cannot be mapped.
    static MappedFile map(const std::filesystem::path& path)
    {
        MappedFile file;
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return file;
        struct stat status
        {
        };
        if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        {
            const auto size = static_cast<size_t>(status.st_size);
            void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
            if (address != MAP_FAILED)
                file.bytes = {static_cast<const uint8*>(address), size, &file.memo};
        }
        ::close(descriptor);
        return file;
    }

    MappedFile() = default;
    MappedFile(MappedFile&& other) noexcept : bytes(std::exchange(other.bytes, {})) { bytes.memo = &memo; }
    MappedFile& operator=(MappedFile&&) = delete;
    MappedFile(const MappedFile&) = delete;
    ~MappedFile()
    {
        if (bytes.data)
            ::munmap(const_cast<uint8*>(bytes.data), bytes.size);
    }

    ResourceBytes bytes;
    std::atomic<uint8> memo = 0; // the store's map never moves it
};

struct Store
{
    std::mutex mutex;
    std::optional<std::filesystem::path> resourcesFolder;
    std::map<std::pair<std::string, uint16>, MappedFile> mapped;
};

Store& store()
{
    static Store instance;
    return instance;
}

// .../Contents/x86_64-linux/<module>.so -> .../Contents/Resources
std::filesystem::path resourcesFolderOfThisModule()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&resourcesFolderOfThisModule), &info) == 0 || !info.dli_fname)
        return {};
    const auto moduleFile = std::filesystem::absolute(info.dli_fname);
    return moduleFile.parent_path().parent_path() / "Resources";
}

const ResourceTypeFiles* filesOfType(const char* type)
{
    for (const auto& files : kResourceTypes)
        if (type && std::strcmp(files.type, type) == 0)
            return &files;
    return nullptr;
}

} // namespace

void openResourceStore(void* /*moduleHandle: the module finds itself through dladdr*/)
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    if (!s.resourcesFolder)
        s.resourcesFolder = resourcesFolderOfThisModule();
}

void closeResourceStore()
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    s.mapped.clear();
    s.resourcesFolder.reset();
}

void setResourceFolder(const std::string& resourcesFolder)
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    s.mapped.clear();
    s.resourcesFolder = resourcesFolder;
}

ResourceBytes findResource(const char* type, uint16 resourceId)
{
    const ResourceTypeFiles* files = filesOfType(type);
    if (!files)
        return {};

    Store& s = store();
    std::lock_guard lock(s.mutex);
    const auto key = std::make_pair(std::string(files->type), resourceId);
    if (const auto found = s.mapped.find(key); found != s.mapped.end())
        return found->second.bytes;

    if (!s.resourcesFolder)
        s.resourcesFolder = resourcesFolderOfThisModule();
    const auto path = *s.resourcesFolder / files->folder / (std::to_string(resourceId) + files->extension);
    MappedFile file = MappedFile::map(path);
    if (!file.bytes.data)
        return {};
    return s.mapped.emplace(key, std::move(file)).first->second.bytes;
}

} // namespace Steinberg::Vst::TaviroPlugIn
