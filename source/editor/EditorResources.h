#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "source/editor/Bitmap.h"
#include "source/editor/UIDescription.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

inline constexpr const char* kUIDescriptionFile = "TaviroPlugIn.uidesc";

// The UI description and its bitmaps, read from one folder (the bundle's Contents/Resources).
class EditorResources
{
public:
    // Nothing when the folder holds no readable UI description.
    static std::unique_ptr<EditorResources> load(const std::string& folder);
    // A document read elsewhere, with its bitmaps from `folder`.
    static std::unique_ptr<EditorResources> create(std::string folder, UIDescription document);

    const UIDescription& description() const { return document; }
    // Loaded on first use; nullptr when the document does not name it or its file cannot be read.
    const Bitmap* bitmap(std::string_view name);

private:
    EditorResources(std::string folder, UIDescription document)
        : folder(std::move(folder)), document(std::move(document))
    {
    }

    std::string folder;
    UIDescription document;
    std::map<std::string, std::unique_ptr<Bitmap>, std::less<>> bitmaps;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
