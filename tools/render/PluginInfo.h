#pragma once

#include "tools/render/HostedPlugin.h"

#include <ostream>

namespace Taviro::Render
{

// Prints what a host shows of a plug-in: the module and its classes, the processor's buses, the
// controller's parameter count, its units and every program list with its programs (and the
// drum names of programs that have them).
void printPluginInfo(const HostedPlugin& plugin, std::ostream& out);

} // namespace Taviro::Render
