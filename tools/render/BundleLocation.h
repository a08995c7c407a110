#pragma once

#include <string>
#include <vector>

namespace Taviro::Render
{

inline constexpr const char* bundleName = "TaviroPlugIn.vst3";

// Where to look for the bundle when none is given, in order: beside the tool's build output
// (the build puts the tool in bin/ next to the bundle), the bundle the build made, then the
// folders where hosts find installed bundles (InstalledBundles.h).
std::vector<std::string> bundleCandidates(const std::string& executablePath, const std::string& builtBundle,
                                          const std::vector<std::string>& installedFolders);

// The bundle to load: `explicitPath` if given (it must exist), otherwise the first candidate
// that exists. Throws HostError naming the places it looked.
std::string findBundle(const std::string& explicitPath, const std::string& argumentZero);

} // namespace Taviro::Render
