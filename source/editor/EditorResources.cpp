#include "source/editor/EditorResources.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

std::unique_ptr<EditorResources> EditorResources::load(ResourceReader reader)
{
    const auto text = reader(kUIDescriptionFile);
    auto document = text ? UIDescription::parse(*text) : std::nullopt;
    if (!document)
        return nullptr;
    return std::unique_ptr<EditorResources>(new EditorResources(std::move(reader), std::move(*document)));
}

std::unique_ptr<EditorResources> EditorResources::create(const std::string& folder, UIDescription document)
{
    return std::unique_ptr<EditorResources>(new EditorResources(folderReader(folder), std::move(document)));
}

const Bitmap* EditorResources::bitmap(std::string_view name)
{
    if (const auto it = bitmaps.find(name); it != bitmaps.end())
        return it->second.get();
    const BitmapDescription* description = document.bitmap(name);
    if (!description)
        return nullptr;
    auto loaded = Bitmap::load(reader, description->path, description->ninePart);
    const Bitmap* result = loaded.get();
    // A missing file is remembered too, so it is not looked for on every build of a panel.
    bitmaps.emplace(std::string(name), std::move(loaded));
    return result;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
