#pragma once

#include "SampleFormat.h"
#include "source/samples/WaveSample.h"

namespace Steinberg::Vst::TaviroPlugIn {

// How a recording's frames are stored and played: one side; two sides played as two; or two sides
// whose values are alike, played as one side (the same values for a fraction of the work).
enum FrameLayout : int32
{
    kMonoFrames,
    kStereoFrames,
    kAlikeStereoFrames,
};

// Sides a layout plays, and samples it stores per frame.
constexpr int32 playedSides(int32 layout)
{
    return layout == kStereoFrames ? 2 : 1;
}
constexpr int32 storedSides(int32 layout)
{
    return layout == kMonoFrames ? 1 : 2;
}

// A recording prepared for playback: the frame geometry worked out once at note-on, and a loop
// only when it lies inside the data, so that no read can leave the recording.
struct SampleFrames
{
    const uint8* data = nullptr;
    uint64 frameCount = 0;
    int32 frameBytes = 0;
    int32 bytesPerSample = 0;
    int32 format = -1;
    int32 layout = kMonoFrames;
    bool hasLoop = false;
    uint64 loopStart = 0;
    uint64 loopEnd = 0; // exclusive
    uint64 loopLength = 0;
    double sampleRate = 0.0;

    // False for a record the player cannot read (unknown format, odd geometry, no data).
    bool assign(const WaveSample& sample)
    {
        format = sampleFormatForBits(sample.bitsPerSample);
        if (format < 0 || sample.bytesPerSample != sample.bitsPerSample / 8 ||
            (sample.channels != 1 && sample.channels != 2) || sample.sampleRate <= 0 || sample.dataSize < 0 ||
            (sample.data == nullptr && sample.dataSize > 0))
            return false;
        data = sample.data;
        bytesPerSample = sample.bytesPerSample;
        layout = sample.channels == 1 ? kMonoFrames : sample.sidesAlike ? kAlikeStereoFrames : kStereoFrames;
        frameBytes = bytesPerSample * sample.channels;
        frameCount = static_cast<uint64>(sample.dataSize / sample.channels / sample.bytesPerSample);
        sampleRate = static_cast<double>(sample.sampleRate);
        hasLoop = sample.hasLoop && sample.loopStart < sample.loopEnd && sample.loopEnd <= frameCount;
        loopStart = sample.loopStart;
        loopEnd = sample.loopEnd;
        loopLength = loopEnd - loopStart;
        return true;
    }

    // Frame index after loop wrapping; in a looping recording always below loopEnd.
    uint64 wrap(uint64 j) const
    {
        if (!hasLoop || j < loopEnd)
            return j;
        const uint64 distance = j - loopStart;
        if ((distance >> 32) == 0 && (loopLength >> 32) == 0)
            return loopStart + static_cast<uint32>(distance) % static_cast<uint32>(loopLength);
        return loopStart + distance % loopLength;
    }

    // The frames that follow and precede an already wrapped index inside a looping recording.
    uint64 loopNext(uint64 wrapped) const { return wrapped + 1 == loopEnd ? loopStart : wrapped + 1; }
    uint64 loopPrevious(uint64 wrapped) const { return wrapped == loopStart ? loopEnd - 1 : wrapped - 1; }

    // The wrapped index of the frame after the (wrapped) frame j.
    uint64 next(uint64 j) const { return hasLoop ? loopNext(j) : j + 1; }

    // Reads a wrapped frame index; frames past the end of a non-looping recording are silent.
    template <typename T, int32 fmt, bool isStereo>
    void read(uint64 wrapped, T& left, T& right) const
    {
        if (wrapped >= frameCount)
        {
            left = right = T(0);
            return;
        }
        const uint8* frame = data + wrapped * static_cast<uint64>(frameBytes);
        left = readSample<T, fmt>(frame);
        if constexpr (isStereo)
            right = readSample<T, fmt>(frame + bytesPerSample);
        else
            right = left;
    }
};

} // namespace Steinberg::Vst::TaviroPlugIn
