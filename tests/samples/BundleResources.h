#pragma once

#include "source/samples/ResourceStore.h"

#include <filesystem>
#include <string>

namespace Taviro::Test {

// The Resources folder of the bundle that the build fills with the recordings.
inline std::string bundleResourcesFolder()
{
    return std::string(TAVIRO_BUNDLE_DIR) + "/Contents/Resources";
}

// A folder of its own below the system's temporary folder, removed with everything in it.
class TemporaryFolder
{
  public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "taviro-test-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::filesystem::path path;
};

} // namespace Taviro::Test
