#include "source/editor/ResourceReader.h"

#include <fstream>
#include <sstream>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

ResourceReader folderReader(const std::string& folder)
{
    return [folder](const std::string& name) -> std::optional<std::string> {
        std::ifstream file(folder + "/" + name, std::ios::binary);
        if (!file)
            return std::nullopt;
        // Copied through the stream buffer, a read that fails (the name of a folder, say) leaves a
        // failed stream instead of throwing into the host.
        std::ostringstream bytes;
        if (!(bytes << file.rdbuf()))
            return std::nullopt;
        return std::move(bytes).str();
    };
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
