#pragma once

#include <string>

#include "source/samples/ResourceStore.h"

// What the Linux resource store adds for tests, benchmarks and tools that run outside a bundle. The
// Windows store serves only the module it was opened with.
namespace Steinberg::Vst::TaviroPlugIn {

// Serves resources from this Resources folder from now on instead of the bundle's own. Unmaps what
// was mapped before, with the same rule as closeResourceStore.
void setResourceFolder(const std::string& resourcesFolder);

} // namespace Steinberg::Vst::TaviroPlugIn
