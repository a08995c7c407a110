#pragma once

#include "source/samples/ResourceStoreLinux.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace Taviro::Test {

// The Resources folder of the bundle that the build fills with the recordings.
inline const std::string bundleResourcesFolder = std::string(TAVIRO_BUNDLE_DIR) + "/Contents/Resources";

// A new folder below the system's temporary folder, removed with everything in it.
struct TemporaryFolder
{
    TemporaryFolder() { path = mkdtemp(pattern.data()) ? pattern : ""; }
    TemporaryFolder(const TemporaryFolder&) = delete;
    ~TemporaryFolder() { std::filesystem::remove_all(path, ignored); }
    std::string pattern = (std::filesystem::temp_directory_path() / "taviro-XXXXXX").string();
    std::filesystem::path path;
    std::error_code ignored;
};

// Pitch of a note's first 0.6 s in cents from `expected`. From the period its waveform repeats
// (McLeod's normalised square difference): octaves and intervals told apart even where the fundamental
// is weak, but only a coarse figure on beating strings.
double periodicCents(const std::vector<double>& x, double expected, double rate);
// From the strongest of partials 1..4 near k times `expected` in a Hann-windowed half second: the
// fundamental on most keys, an overtone on the lowest piano keys, whose fundamental is weak.
double partialCents(const std::vector<double>& x, double expected, double rate);

} // namespace Taviro::Test
