#include "tools/render/AudioFileWriter.h"

#include <filesystem>

namespace Taviro::Render {

std::string folderForNewFile(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code error;
    if (fs::is_directory(target, error))
        throw AudioFileError("cannot write " + path + ": it is a folder");
    if (!fs::is_directory(folder, error))
        throw AudioFileError("cannot write " + path + ": folder " + folder.string() + " does not exist");
    return folder.string();
}

} // namespace Taviro::Render
