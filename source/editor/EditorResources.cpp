#include "source/editor/EditorResources.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

std::unique_ptr<EditorResources> EditorResources::load(const std::string& folder)
{
    auto document = UIDescription::load(folder + "/" + kUIDescriptionFile);
    if (!document)
        return nullptr;
    return create(folder, std::move(*document));
}

std::unique_ptr<EditorResources> EditorResources::create(std::string folder, UIDescription document)
{
    return std::unique_ptr<EditorResources>(new EditorResources(std::move(folder), std::move(document)));
}

const Bitmap* EditorResources::bitmap(std::string_view name)
{
    if (const auto it = bitmaps.find(name); it != bitmaps.end())
        return it->second.get();
    const BitmapDescription* description = document.bitmap(name);
    if (!description)
        return nullptr;
    auto loaded = Bitmap::loadPng(folder + "/" + description->path, description->ninePart);
    const Bitmap* result = loaded.get();
    // A missing file is remembered too, so it is not looked for on every build of a panel.
    bitmaps.emplace(std::string(name), std::move(loaded));
    return result;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
