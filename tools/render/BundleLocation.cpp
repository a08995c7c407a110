#include "tools/render/BundleLocation.h"

#include "tools/render/HostError.h"
#include "tools/render/InstalledBundles.h"

#include <filesystem>

namespace Taviro::Render
{

namespace fs = std::filesystem;

std::vector<std::string> bundleCandidates(const std::string& executablePath, const std::string& builtBundle,
                                          const std::vector<std::string>& installedFolders)
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
    for (const std::string& folder : installedFolders)
        candidates.push_back((fs::path(folder) / bundleName).string());
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
#ifdef TAVIRO_BUNDLE_DIR
    const std::string built = TAVIRO_BUNDLE_DIR;
#else
    const std::string built;
#endif
    auto candidates = bundleCandidates(runningProgramPath(argumentZero), built, installedBundleFolders());
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
