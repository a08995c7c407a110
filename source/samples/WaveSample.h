#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstddef>

namespace Steinberg::Vst::TaviroPlugIn {

// One recording as it lies in the module's read-only resource memory. Owns nothing: `data`
// points into memory that stays mapped for the life of the module.
struct WaveSample
{
    int32 bytesPerSample = 0; // 1, 2, 3 or 4
    int32 bitsPerSample = 0;  // 8, 16, 24 or 32
    int32 sampleRate = 0;     // frames per second
    int32 channels = 0;       // 1 or 2
    bool hasLoop = false;
    int32 dataSize = 0; // "data" body size, made even
    const uint8* data = nullptr;
    uint64 loopStart = 0; // first frame of the loop
    uint64 loopEnd = 0;   // exclusive: playback wraps here to loopStart
    bool sidesAlike = false; // stereo with each right value equal to its left one: plays as mono
};

// Parses the "WAVE" resource with the given ID into `sample`, with `sidesAlike` worked out once per
// process. False when the resource is missing or not an accepted PCM WAVE image; the record's
// fields are then unspecified.
bool loadWaveResource(WaveSample& sample, uint16 resourceId);

// The same for a RIFF WAVE image of `size` bytes at `image` (null with size 0 is an empty image).
// On success `sample.data` points into the image, which must outlive the record; `sidesAlike` is
// left false.
bool parseWaveImage(WaveSample& sample, const uint8* image, size_t size);

// Whether a parsed stereo recording's right values equal its left ones in every frame.
bool hasAlikeSides(const WaveSample& sample);

} // namespace Steinberg::Vst::TaviroPlugIn
