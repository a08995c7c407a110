#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "source/editor/Bitmap.h"
#include "source/editor/ResourceReader.h"
#include "source/editor/UIDescription.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

inline constexpr const char* kUIDescriptionFile = "TaviroPlugIn.uidesc";

// The UI description and its bitmaps, read from the editor's resources.
class EditorResources
{
public:
    // Nothing when there is no readable UI description.
    static std::unique_ptr<EditorResources> load(ResourceReader reader);
    // From one folder (such as a bundle's Contents/Resources).
    static std::unique_ptr<EditorResources> load(const std::string& folder)
    {
        return load(folderReader(folder));
    }
    // A document read elsewhere, with its bitmaps from `folder`.
    static std::unique_ptr<EditorResources> create(const std::string& folder, UIDescription document);

    const UIDescription& description() const { return document; }
    // Loaded on first use; nullptr when the document does not name it or its file cannot be read.
    const Bitmap* bitmap(std::string_view name);

private:
    EditorResources(ResourceReader reader, UIDescription document)
        : reader(std::move(reader)), document(std::move(document))
    {
    }

    ResourceReader reader;
    UIDescription document;
    std::map<std::string, std::unique_ptr<Bitmap>, std::less<>> bitmaps;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
