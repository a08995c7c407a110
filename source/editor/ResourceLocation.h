#pragma once

#include <string>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The folder holding the UI description and bitmaps: Contents/Resources of the bundle this code was
// loaded from (the module lies in Contents/<architecture>/), unless set explicitly.
std::string editorResourceFolder();
// Overrides the folder (tests, hosts of the static library); an empty path returns to the default.
void setEditorResourceFolder(const std::string& folder);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
