#include "tools/render/BundleLocation.h"

#include "tools/render/HostError.h"

#include <cstdlib>
#include <filesystem>

namespace Taviro::Render
{

namespace fs = std::filesystem;

std::vector<std::string> bundleCandidates(const std::string& executablePath, const std::string& builtBundle,
                                          const std::string& home)
{
    std::vector<std::string> candidates;
    if (!executablePath.empty())
    {
        fs::path folder = fs::path(executablePath).parent_path();
        candidates.push_back((folder.parent_path() / bundleName).string());
        candidates.push_back((folder / bundleName).string());
    }
    if (!builtBundle.empty())
        candidates.push_back(builtBundle);
    if (!home.empty())
        candidates.push_back((fs::path(home) / ".vst3" / bundleName).string());
    candidates.push_back(std::string("/usr/local/lib/vst3/") + bundleName);
    candidates.push_back(std::string("/usr/lib/vst3/") + bundleName);
    return candidates;
}

std::string findBundle(const std::string& explicitPath, const std::string& argumentZero)
{
    std::error_code error;
    if (!explicitPath.empty())
    {
        if (!fs::exists(explicitPath, error))
            throw HostError("no plug-in at " + explicitPath);
        return explicitPath;
    }
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        executable = fs::absolute(argumentZero, error);
    const char* home = std::getenv("HOME");
#ifdef TAVIRO_BUNDLE_DIR
    const std::string built = TAVIRO_BUNDLE_DIR;
#else
    const std::string built;
#endif
    auto candidates = bundleCandidates(executable.string(), built, home ? home : "");
    std::string looked;
    for (const std::string& candidate : candidates)
    {
        if (fs::is_directory(candidate, error))
            return candidate;
        looked += "\n  " + candidate;
    }
    throw HostError(std::string("cannot find ") + bundleName + "; looked in:" + looked +
                    "\nbuild it, or name it with --plugin PATH");
}

} // namespace Taviro::Render
