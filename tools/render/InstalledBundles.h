#pragma once

#include <string>
#include <vector>

namespace Taviro::Render {

// The platform's part of finding the bundle (InstalledBundlesLinux.cpp, InstalledBundlesWin32.cpp).

// The path of the running program; `argumentZero` made absolute where the system cannot say.
std::string runningProgramPath(const std::string& argumentZero);

// The folders VST 3 hosts search for installed bundles, the user's before the system's: on Linux
// ~/.vst3, /usr/local/lib/vst3 and /usr/lib/vst3; on Windows the common files' VST3 folder.
std::vector<std::string> installedBundleFolders();

} // namespace Taviro::Render
