#include "tools/render/InstalledBundles.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

namespace Taviro::Render {

std::string runningProgramPath(const std::string& argumentZero)
{
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::error_code error;
    if (length == 0 || length >= std::size(path))
        return std::filesystem::absolute(argumentZero, error).string();
    return std::filesystem::path(path).string();
}

std::vector<std::string> installedBundleFolders()
{
    // "C:\Program Files\Common Files\VST3" on an English system; the variable names it on any.
    const char* common = std::getenv("CommonProgramFiles");
    const std::filesystem::path folder = common && *common ? common : "C:\\Program Files\\Common Files";
    return {(folder / "VST3").string()};
}

} // namespace Taviro::Render
