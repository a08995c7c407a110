#pragma once

#include <memory>

#include "source/editor/EditorResources.h"
#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Makes the views of one node of the document and everything inside it. Classes the editor does not
// know, and controls whose control tag the document does not define, are left out.
std::unique_ptr<View> buildView(const ViewNode& node, EditorContext& context, EditorResources& resources);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
