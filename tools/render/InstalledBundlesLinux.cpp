#include "tools/render/InstalledBundles.h"

#include <cstdlib>
#include <filesystem>

namespace Taviro::Render {

std::string runningProgramPath(const std::string& argumentZero)
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        program = std::filesystem::absolute(argumentZero, error);
    return program.string();
}

std::vector<std::string> installedBundleFolders()
{
    std::vector<std::string> folders;
    if (const char* home = std::getenv("HOME"); home && *home)
        folders.push_back((std::filesystem::path(home) / ".vst3").string());
    folders.push_back("/usr/local/lib/vst3");
    folders.push_back("/usr/lib/vst3");
    return folders;
}

} // namespace Taviro::Render
