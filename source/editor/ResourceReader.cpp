#include "source/editor/ResourceReader.h"

#include <fstream>
#include <iterator>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

ResourceReader folderReader(const std::string& folder)
{
    return [folder](const std::string& name) -> std::optional<std::string> {
        std::ifstream file(folder + "/" + name, std::ios::binary);
        if (!file)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
