#include "source/editor/ResourceLocation.h"

#include <dlfcn.h>

#include <filesystem>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

std::string& overriddenFolder()
{
    static std::string folder;
    return folder;
}

std::string bundleResourceFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&bundleResourceFolder), &info) == 0 || !info.dli_fname)
        return {};
    const std::filesystem::path module = std::filesystem::absolute(info.dli_fname);
    return (module.parent_path().parent_path() / "Resources").string();
}

} // namespace

ResourceReader editorResourceReader()
{
    return folderReader(overriddenFolder().empty() ? bundleResourceFolder() : overriddenFolder());
}

void setEditorResourceFolder(const std::string& folder) { overriddenFolder() = folder; }

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
