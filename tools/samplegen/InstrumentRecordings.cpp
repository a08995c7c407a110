#include "InstrumentRecordings.h"

#include <algorithm>
#include <cmath>

namespace TaviroSampleGen {
namespace {

constexpr double kSetPeakDbfs = -1.0;
constexpr double kTrimDbfs = -70.0;
constexpr double kFadeSeconds = 0.02; // ends a recording cut by its length cap without a click

double decibelsToGain(double decibels)
{
    return std::pow(10.0, decibels / 20.0);
}

StereoBuffer mixToMono(const StereoBuffer& stereo)
{
    StereoBuffer mono;
    mono.left.resize(stereo.left.size());
    for (size_t i = 0; i < stereo.left.size(); ++i)
        mono.left[i] = 0.5f * (stereo.left[i] + stereo.right[i]);
    return mono;
}

double peakOf(const StereoBuffer& buffer)
{
    double peak = 0.0;
    for (const auto* channel : {&buffer.left, &buffer.right})
        for (float value : *channel)
            peak = std::max(peak, std::abs(static_cast<double>(value)));
    return peak;
}

// Frames up to and including the last one at or above the threshold on any channel.
size_t audibleLength(const StereoBuffer& buffer, double threshold)
{
    size_t length = 0;
    for (const auto* channel : {&buffer.left, &buffer.right})
        for (size_t i = channel->size(); i > length; --i)
            if (std::abs((*channel)[i - 1]) >= threshold)
            {
                length = i;
                break;
            }
    return length;
}

PcmRecording quantize(const StereoBuffer& buffer, size_t frames, double gain, const InstrumentPlan& plan,
                      int sampleRate)
{
    PcmRecording pcm;
    pcm.bitsPerSample = plan.bitsPerSample;
    pcm.channels = plan.mono ? 1 : 2;
    pcm.sampleRate = sampleRate;
    const double fullScale = std::ldexp(1.0, plan.bitsPerSample - 1) - 1.0;
    const auto fadeFrames = std::min(frames, static_cast<size_t>(kFadeSeconds * sampleRate));
    // Still audible at its last rendered frame: the length cap cut it, so fade it out.
    const bool cutByCap = frames > 0 && frames == buffer.left.size();

    pcm.values.reserve(frames * static_cast<size_t>(pcm.channels));
    for (size_t i = 0; i < frames; ++i)
    {
        double frameGain = gain * fullScale;
        if (cutByCap && i >= frames - fadeFrames)
            frameGain *= static_cast<double>(frames - i) / static_cast<double>(fadeFrames + 1);
        for (const auto* channel : {&buffer.left, &buffer.right})
        {
            if (channel == &buffer.right && plan.mono)
                break;
            const double value = std::clamp(std::round((*channel)[i] * frameGain), -fullScale - 1, fullScale);
            pcm.values.push_back(static_cast<int32_t>(value));
        }
    }
    return pcm;
}

} // namespace

std::vector<PcmRecording> recordInstrument(FluidNoteRenderer& renderer, const InstrumentPlan& plan,
                                           std::span<const int> rootKeys, int sampleRate)
{
    std::vector<StereoBuffer> notes;
    double setPeak = 0.0;
    for (int key : rootKeys)
    {
        StereoBuffer note =
            renderer.render({.bank = plan.bank,
                             .program = plan.program,
                             .key = key,
                             .velocity = plan.velocity,
                             .holdSeconds = plan.holdSeconds,
                             .tailSeconds = plan.tailSeconds,
                             .tuningCents = plan.tuningCents.contains(key) ? plan.tuningCents.at(key) : 0.0});
        if (plan.mono)
            note = mixToMono(note);
        setPeak = std::max(setPeak, peakOf(note));
        notes.push_back(std::move(note));
    }

    const double gain = setPeak > 0.0 ? decibelsToGain(kSetPeakDbfs) / setPeak : 1.0;
    std::vector<PcmRecording> recordings;
    for (const StereoBuffer& note : notes)
    {
        const size_t frames = audibleLength(note, decibelsToGain(kTrimDbfs) / gain);
        recordings.push_back(quantize(note, frames, gain, plan, sampleRate));
    }
    return recordings;
}

} // namespace TaviroSampleGen
