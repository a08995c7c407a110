#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TaviroSampleGen {

// A forward loop in frames; `end` is the frame at which playback wraps back to `start`.
struct ForwardLoop
{
    uint32_t start = 0;
    uint32_t end = 0;
};

// Interleaved integer PCM ready to be written: values already scaled to the bit depth.
struct PcmRecording
{
    int bitsPerSample = 16; // 16 or 24
    int channels = 2;
    int sampleRate = 44100;
    std::vector<int32_t> values; // channels values per frame
    std::optional<ForwardLoop> loop;
};

// The RIFF WAVE image of a recording: "fmt " (PCM), then "data", then "smpl" with the one
// forward loop when there is one.
std::vector<uint8_t> makeRiffWaveImage(const PcmRecording& recording);

// Writes bytes to a file; false on any I/O failure.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace TaviroSampleGen
