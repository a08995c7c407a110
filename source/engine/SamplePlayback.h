#pragma once

#include "CatmullRom.h"
#include "InPlaceRun.h"
#include "InPlaceRunWide.h"
#include "OscillatorRender.h"
#include "WideVectors.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn {

// Scratch of sample playback: the positions of a stretch and the frames of one run.
struct PlaybackScratch
{
    double positions[kPlaybackSteps];
    double runFrames[2 * kRunFrames];
    RunWeights runWeights;
};

// The end of the run from step k, whose position has the whole part i and whose frames lie in
// place up to the whole part `limit` (exclusive): the steps after it whose positions stay within
// that and within the frames one run may span. Rising positions are searched; others make runs of
// one step.
inline int32 inPlaceRunEnd(const double* positions, int32 k, int32 count, bool rising, uint64 i, uint64 limit)
{
    if (!rising)
        return k + 1;
    const double high =
        std::min(static_cast<double>(std::min(limit, i + (kRunFrames - 3))), 4503599627370496.0);
    return static_cast<int32>(std::lower_bound(positions + k + 1, positions + count, high) - positions);
}

// Sample playback with rate conversion, loops and four-point interpolation for the sample counters
// n0, n0 + 1, ...: writes `count` values (scaled by the oscillator volume) and the finished flag
// as it stands after each step. The playback rate changes only at the first sounding step of a
// block, so the positions of a stretch are a closed-form function of the counter: they are worked
// out first, in a loop without branches, then the frames are read. Frames that lie wholly inside
// the recording (no loop wrap, no end) are read in place; the rest go through the general reads.
template <typename T, int32 format, int32 layout>
void renderMultiSample(OscillatorState<T>& osc, uint64 n0, int32 count, int32 retardLength, T* left, T* right,
                       uint8* finished, PlaybackScratch& scratch)
{
    constexpr bool stereo = playedSides(layout) == 2;
    double* positions = scratch.positions;
    // Locals: the stores into `finished` could otherwise alias every field of the oscillator.
    const SampleFrames frames = osc.frames;
    const double volume = osc.volume;
    bool isFinished = osc.finished;

    // Retard steps (and a note without a recording) are silent.
    int32 first = 0;
    if (osc.setIndex < 0)
        first = count;
    else if (int64(n0) < retardLength)
        first = static_cast<int32>(std::min<int64>(int64(retardLength) - int64(n0), count));
    for (int32 k = 0; k < first; ++k)
    {
        left[k] = T(0);
        if constexpr (stereo)
            right[k] = T(0);
        if (osc.setIndex < 0)
            isFinished = true;
        finished[k] = isFinished;
    }
    if (first == count)
        return;

    // Re-base at the first sounding step when the rate changed; positions of the whole stretch.
    const int64 m0 = int64(n0) + first - retardLength;
    if (osc.currentRate == -1.0)
        osc.currentRate = osc.targetRate;
    if (osc.currentRate != osc.targetRate)
    {
        osc.positionOffset += static_cast<double>(m0 - osc.positionBase) / osc.sampleRateRatio * osc.currentRate;
        osc.currentRate = osc.targetRate;
        osc.positionBase = m0;
    }
    {
        const double ratio = osc.sampleRateRatio;
        const double rate = osc.currentRate;
        const double offset = osc.positionOffset;
        const double base = static_cast<double>(m0 - osc.positionBase); // whole numbers: exact in double
        if (wideVectors())
            playbackPositionsWide(base, ratio, rate, offset, first, count, positions);
        else
            for (int32 k = first; k < count; ++k)
                positions[k] = (base + static_cast<double>(k - first)) / ratio * rate + offset;
    }
    // Every rounding step keeps the order, so the positions rise (or stay) with the counter.
    const bool rising = osc.currentRate >= 0.0 && osc.sampleRateRatio > 0.0;

    // Frames below this index can be read in place (inside the loop, or inside the recording).
    const uint64 inPlaceEnd = frames.hasLoop ? frames.loopEnd : frames.frameCount;
    const uint8* data = frames.data;

    // The four frames around the last fractional position of the general reads, left and right.
    uint64 windowIndex = ~uint64(0) - 1;
    uint64 lastIndex = ~uint64(0);
    uint64 lastWrapped = 0;
    uint64 lastFrame = 0;
    T wl[4] = {}, wr[4] = {};
    for (int32 k = first; k < count; ++k)
    {
        const double pos = positions[k];
        T l, r;
        if (!(pos >= 0.0 && pos < 1.8e19)) // a position no index can hold plays silence
        {
            l = r = T(0);
            isFinished = !frames.hasLoop;
            left[k] = l;
            if constexpr (stereo)
                right[k] = r;
            finished[k] = isFinished;
            continue;
        }
        // Positions below 2^63 convert through the signed conversion, one instruction.
        const uint64 i = pos < 9.2e18 ? static_cast<uint64>(static_cast<int64>(pos)) : static_cast<uint64>(pos);
        const bool whole = static_cast<double>(i) == pos;
        // Frame i inside the loop, followed from the last step: positions only move forwards.
        uint64 j = i;
        if (frames.hasLoop && i >= frames.loopEnd)
        {
            if (i >= lastIndex && i - lastIndex < frames.loopLength)
            {
                j = lastWrapped + (i - lastIndex);
                if (j >= frames.loopEnd)
                    j -= frames.loopLength;
            }
            else
                j = frames.wrap(i);
            lastIndex = i;
            lastWrapped = j;
        }
        // Frame j - 1 is the frame before: at the loop start of a wrapped index it is the loop end.
        // From here on, the steps whose frames stay in place with this one form a run.
        const bool previousInPlace = j == i ? i >= 1 : j > frames.loopStart;
        if (previousInPlace && j + 2 < inPlaceEnd && pos < 4503599627370496.0)
        {
            const int32 end = inPlaceRunEnd(positions, k, count, rising, i, i + (inPlaceEnd - 2 - j));
            const int32 span = static_cast<int32>(static_cast<uint64>(positions[end - 1]) - i) + 4;
            const uint64 distance = i - j;
            const bool wide = wideVectors();
            auto play = [&](const auto& source) {
                if (!wide)
                {
                    runWeights(positions, k, end, scratch.runWeights);
                    interpolateRun<T, stereo>(source, scratch.runWeights, k, end, volume, left, right);
                }
                else if constexpr (stereo)
                    interpolateStereoRunWide<T>(source, positions, k, end, volume, left, right, scratch.runWeights);
                else
                    interpolateMonoRunWide<T>(source, positions, k, end, volume, left, scratch.runWeights);
            };
            if (span <= 3 * (end - k) + 3)
                play(ConvertedFrames<layout>::template read<T, format>(data + (j - 1) * frames.frameBytes,
                                                                       i - 1, span, scratch.runFrames, wide));
            else
                play(DirectFrames<T, format, layout>{data, distance});
            std::fill(finished + k, finished + end, uint8(0));
            isFinished = false; // frame i + 2 lies inside the recording, or the recording loops
            k = end - 1;
            continue;
        }
        if (whole)
        {
            frames.read<T, format, stereo>(frames.wrap(i), l, r);
            isFinished = !frames.hasLoop && i >= frames.frameCount;
        }
        else
        {
            // Neighbouring samples share most of their four frames: slide the window when the
            // position moved on by one frame, read all four only after a jump.
            if (i != windowIndex)
            {
                if (i == windowIndex + 1)
                {
                    for (int32 f = 0; f < 3; ++f)
                    {
                        wl[f] = wl[f + 1];
                        wr[f] = wr[f + 1];
                    }
                    lastFrame = frames.next(lastFrame);
                    frames.read<T, format, stereo>(lastFrame, wl[3], wr[3]);
                }
                else
                {
                    uint64 jm1, j0, j1;
                    if (frames.hasLoop && i >= frames.loopEnd)
                    {
                        j0 = frames.wrap(i);
                        jm1 = frames.loopPrevious(j0);
                    }
                    else
                    {
                        jm1 = frames.wrap(i - 1); // frame "before 0" is 2^64 - 1: past the end, or wrapped
                        j0 = i;
                    }
                    j1 = frames.next(j0);
                    lastFrame = frames.next(j1);
                    frames.read<T, format, stereo>(jm1, wl[0], wr[0]);
                    frames.read<T, format, stereo>(j0, wl[1], wr[1]);
                    frames.read<T, format, stereo>(j1, wl[2], wr[2]);
                    frames.read<T, format, stereo>(lastFrame, wl[3], wr[3]);
                }
                windowIndex = i;
            }
            const CatmullRomWeights weights(pos - static_cast<double>(i));
            l = static_cast<T>(weights(wl[0], wl[1], wl[2], wl[3]));
            if constexpr (stereo)
                r = static_cast<T>(weights(wr[0], wr[1], wr[2], wr[3]));
            isFinished = !frames.hasLoop && i + 2 >= frames.frameCount;
        }
        left[k] = scaledByVolume<T>(l, volume);
        if constexpr (stereo)
            right[k] = scaledByVolume<T>(r, volume);
        finished[k] = isFinished;
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
