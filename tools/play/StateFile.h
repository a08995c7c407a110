#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace Taviro::Render {
class HostedPlugin;
}

namespace Taviro::Play {

// The state file is unreadable, damaged or cannot be written; the message is for the user.
class StateFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What a DAW keeps of the instrument in a project: the streams of the processor and the controller.
struct SavedState
{
    std::vector<std::uint8_t> processor;
    std::vector<std::uint8_t> controller;
};

// The file: "TVPLAYST", a format version, each stream with its length, and a checksum over all of
// it, all little-endian; a file cut short or changed anywhere is recognised as damaged.
std::vector<std::uint8_t> encodeState(const SavedState& state);
SavedState decodeState(std::span<const std::uint8_t> bytes);

// ~/.config/taviro-play/state.bin
std::string defaultStatePath();
// Nothing when there is no file yet; throws StateFileError when it cannot be read or is damaged.
std::optional<SavedState> readStateFile(const std::string& path);
// Writes a temporary file beside `path` and renames it over `path`, so a crash leaves either the
// old or the new state. Creates the folder if needed.
void writeStateFile(const std::string& path, const SavedState& state);

// The plug-in's current state, and restoring one into both halves as a DAW does when it opens a
// project. Restoring throws StateFileError when the processor refuses the stream.
SavedState captureState(Render::HostedPlugin& plugin);
void restoreState(Render::HostedPlugin& plugin, const SavedState& state);

} // namespace Taviro::Play
