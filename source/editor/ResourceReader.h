#pragma once

#include <functional>
#include <optional>
#include <string>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Reads one file of the editor's resources by its name ("TaviroPlugIn.uidesc", "knob.png"); nothing
// when it is missing.
using ResourceReader = std::function<std::optional<std::string>(const std::string& name)>;

// The files of one folder.
ResourceReader folderReader(const std::string& folder);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
