// The WAVE reader: bytes -> reader -> every frame read the way the voices read them (wrapped at
// the loop, with the interpolation window's neighbours). libFuzzer hands over the input in a heap
// buffer of exactly its size, so AddressSanitizer catches any read outside it.
#include "FuzzCheck.h"
#include "source/engine/SampleFrames.h"
#include "source/samples/WaveSample.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Fuzz::require;

namespace {

template <int32 format, bool stereo>
void readEveryFrame(const SampleFrames& frames)
{
    // Past the end too, and once more round the loop.
    const uint64 last = frames.frameCount + (frames.hasLoop ? frames.loopLength : 0) + 4;
    for (uint64 i = 0; i < last; ++i)
    {
        const uint64 j0 = frames.wrap(i);
        const uint64 before =
            frames.hasLoop && i >= frames.loopEnd ? frames.loopPrevious(j0) : frames.wrap(i - 1);
        const uint64 after = frames.next(j0);
        for (uint64 j : {before, j0, after, frames.next(after)})
        {
            float left = 0, right = 0;
            frames.read<float, format, stereo>(j, left, right);
            require(std::fabs(left) <= 1.0f && std::fabs(right) <= 1.0f, "a sample value lies within -1..1");
        }
    }
}

template <int32 format>
void readEveryFrame(const SampleFrames& frames)
{
    if (frames.layout != kMonoFrames) // alike sides are read as stored too
        readEveryFrame<format, true>(frames);
    else
        readEveryFrame<format, false>(frames);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WaveSample sample;
    if (!parseWaveImage(sample, data, size))
        return 0;
    require(sample.data >= data && sample.dataSize >= 0 && sample.data + sample.dataSize <= data + size,
            "the data chunk lies inside the image");
    // The reader takes the sample rate as stored; the player leaves a recording without a positive
    // rate silent.
    SampleFrames frames;
    const bool playable = frames.assign(sample);
    require(playable || sample.sampleRate <= 0, "an accepted recording can be played");
    if (!playable)
        return 0;
    require(!sample.hasLoop || frames.hasLoop, "an accepted loop lies inside the data");
    switch (frames.format)
    {
    case kSample8Bit:
        readEveryFrame<kSample8Bit>(frames);
        break;
    case kSample16Bit:
        readEveryFrame<kSample16Bit>(frames);
        break;
    case kSample24Bit:
        readEveryFrame<kSample24Bit>(frames);
        break;
    default:
        readEveryFrame<kSample32Bit>(frames);
        break;
    }
    return 0;
}
