#pragma once

#include <string>

#include "source/editor/ResourceReader.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Where the editor's UI description and bitmaps come from: the Contents/Resources folder of the bundle
// this code was loaded from on Linux (the module lies in Contents/<architecture>/), the module's own
// resources on Windows; or a folder set explicitly.
ResourceReader editorResourceReader();
// Overrides the place (tests, hosts of the static library); an empty path returns to the default.
void setEditorResourceFolder(const std::string& folder);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
