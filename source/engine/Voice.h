#pragma once

#include "FilterPairsWide.h"
#include "FilterRampCache.h"
#include "GainCurve.h"
#include "OscillatorRender.h"
#include "OutputBuses.h"
#include "PanLaw.h"
#include "SamplePlayback.h"
#include "TremoloCache.h"
#include "VoiceBase.h"
#include "VoiceMix.h"
#include "WhiteNoise.h"
#include "WideVectors.h"
#include "source/state/GlobalParameterState.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace Steinberg::Vst::TaviroPlugIn {

// Samples a voice renders at a time: long enough to spread each pass's set-up over many steps,
// short enough that the scratch of a stretch stays in the processor's nearest caches.
inline constexpr int32 kRenderChunk = 256;
static_assert(kRenderChunk <= kPlaybackSteps);

// Scratch that the voices of one pool share (they render one after the other) and the pool's
// white-noise source.
template <typename T>
struct VoiceRenderContext
{
    T left[kNumOscillators][kRenderChunk];
    T right[kNumOscillators][kRenderChunk];
    uint8 finished[kNumOscillators][kRenderChunk];
    PlaybackScratch playback;
    double level[kNumOscillators][kRenderChunk]; // envelope level per step, 0 where it adds nothing
    double leftGain[kRenderChunk];               // pan gain x voice gain per step
    double rightGain[kRenderChunk];
    double voiceGain[kRenderChunk];
    double tremolo[kRenderChunk]; // the tremolo factor of the sample type, widened
    BiquadCoefficients coefficients[kNumOscillators][kRenderChunk]; // while a filter moves
    FilterRampCache<kRenderChunk> filterRamps;
    TremoloCache<kRenderChunk> tremoloSines;
    T discard[2][kRenderChunk]; // stands in for output channels the host did not provide
    WhiteNoise noise;
};

inline constexpr int32 kPanNoteExpressionFirst = 100000;
inline constexpr int32 kVolumeNoteExpressionFirst = 100016;
inline constexpr int32 kNoteExpressionEnd = 100032;

// One voice: three oscillators with their envelopes and filters, mixed with the channel's gain,
// panorama and tremolo into the output bus of the note's channel.
template <typename T>
class Voice final : public VoiceBase<3, T, 2, GlobalParameterState>
{
    using Base = VoiceBase<3, T, 2, GlobalParameterState>;

public:
    using SampleType = T;
    using RenderContext = VoiceRenderContext<T>;

    Voice()
    {
        this->noteId = -1;
        this->pitch = -1;
    }

    void setRenderContext(RenderContext* renderContext) { context = renderContext; }

    void setSampleRate(double rate) override
    {
        this->sampleRate = rate;
        for (auto& osc : oscillators)
        {
            osc.leftFilter.setSampleRate(rate);
            osc.rightFilter.setSampleRate(rate);
        }
    }

    void setNoteExpressionValue(int32 typeId, ParamValue value) override
    {
        if (typeId >= kPanNoteExpressionFirst && typeId < kVolumeNoteExpressionFirst)
        {
            const PanGains gains = panGains(value);
            this->noteExpressionValues[1] = gains.left;
            this->noteExpressionValues[2] = gains.right;
        }
        else if (typeId >= kVolumeNoteExpressionFirst && typeId < kNoteExpressionEnd)
            this->noteExpressionValues[0] = value;
        else if (typeId >= 0 && typeId <= 2)
            this->noteExpressionValues[typeId] = value;
    }

    void noteOn(int32 notePitch, ParamValue velocity, int32 sampleOffset, int32 id, int32 noteChannel) override
    {
        channel = noteChannel;
        this->noteId = id;
        this->pitch = notePitch;
        this->noteOnVelocity = velocity;
        this->noteOnSampleOffset = countdownTo(sampleOffset);

        const GlobalParameterState& state = *this->globalParameters;
        activeCount = 0;
        onlySamplePlayers = true;
        for (int32 o = 0; o < kNumOscillators; ++o)
        {
            OscillatorState<T>& osc = oscillators[o];
            const OscillatorSettings& settings = state.oscillators[channel][o];
            osc.type = oscillatorType(settings.type);
            if (osc.type == kOscillatorOff)
                continue;
            activeOscillators[activeCount++] = o;
            startOscillator(osc, settings);
        }

        receiveNoteOff = state.receiveNoteOff[channel] != 0;
        this->noteExpressionValues[0] = 0.0;
        this->noteExpressionValues[1] = 1.0;
        this->noteExpressionValues[2] = 1.0;
        const PanGains pan = panGains(state.panorama[channel]);
        leftPanGain.jump(pan.left);
        rightPanGain.jump(pan.right);
        modWheel.jump(0.0);
        velocityCopy = velocity;
        voiceGain.jump(gainCurve(volumeAmount()));
    }

    void noteOff(ParamValue velocity, int32 sampleOffset) override
    {
        this->noteOffVelocity = velocity;
        this->noteOffSampleOffset = countdownTo(sampleOffset);
    }

    void reset() override
    {
        sampleCounter = 0;
        for (auto& osc : oscillators)
        {
            osc.filterFrequency.jump(1.0);
            osc.filterResonance.jump(0.0);
            osc.leftFilter.reset();
            osc.rightFilter.reset();
        }
        this->noteOnSampleOffset = -1;
        this->noteOffSampleOffset = -1;
        this->noteId = -1;
    }

    // Adds the voice's samples for the block into the output bus of its channel; false when the
    // voice has ended.
    bool process(ProcessData& data, int32 numSamples)
    {
        if (activeCount == 0)
            return end();

        const GlobalParameterState& state = *this->globalParameters;
        updateFrequencies(state);
        updateTargets(state, numSamples);

        T* outLeft = outputChannel<T>(data, channel, 0);
        T* outRight = outputChannel<T>(data, channel, 1);
        for (int32 start = 0; start < numSamples; start += kRenderChunk)
        {
            const int32 length = std::min(kRenderChunk, numSamples - start);
            T* left = outLeft ? outLeft + start : context->discard[0];
            T* right = outRight ? outRight + start : context->discard[1];
            if (!renderChunk(length, left, right))
                return end();
        }
        return true;
    }

    int32 channel = 0;
    uint64 sampleCounter = 0; // samples rendered since the note started; 64 bits outlast any note
    bool receiveNoteOff = true;
    SmoothedValue voiceGain;
    SmoothedValue leftPanGain{1.0, 1.0};
    SmoothedValue rightPanGain{1.0, 1.0};
    SmoothedValue modWheel;
    double velocityCopy = 0.0;
    OscillatorState<T> oscillators[kNumOscillators];

private:
    // Countdowns stop far below zero instead of overflowing during endless notes.
    static constexpr int64 kCountdownFloor = -(int64(1) << 30);

    static int32 countdownTo(int32 sampleOffset)
    {
        return static_cast<int32>(
            std::clamp<int64>(int64(sampleOffset) + 1, kCountdownFloor, std::numeric_limits<int32>::max()));
    }
    static int32 countDown(int32 value, int32 steps)
    {
        return static_cast<int32>(std::max<int64>(int64(value) - steps, kCountdownFloor));
    }
    bool end()
    {
        this->noteOnSampleOffset = -1;
        this->noteOffSampleOffset = -1;
        return false;
    }

    float volumeAmount() const
    {
        const GlobalParameterState& state = *this->globalParameters;
        return static_cast<float>(unitValue(state.masterVolume[channel]) * 3.0 * velocityCopy *
                                      unitValue(state.mainVolume[channel]) +
                                  this->noteExpressionValues[0]);
    }

    void startOscillator(OscillatorState<T>& osc, const OscillatorSettings& settings)
    {
        const double rate = this->sampleRate;
        osc.finished = false;
        osc.detuneAmount = 0.0;
        osc.radianPhaseOffset = T(0);
        osc.cyclePhaseOffset = T(0);
        osc.positionOffset = 0.0;
        osc.positionBase = 0;
        osc.radianIncrement = -1.0;
        osc.cycleIncrement = -1.0;
        osc.currentRate = -1.0;
        osc.volume = unitValue(settings.volume);

        if (osc.type == kOscillatorMultiSample)
            chooseZone(osc, settings);
        else
            onlySamplePlayers = false;

        osc.filterType = filterType(settings.filterType);
        if (osc.filterType != kFilterOff)
        {
            osc.filterFrequency.jump(unitValue(settings.filterFrequency));
            osc.filterResonance.jump(unitValue(settings.filterQ));
            osc.leftFilter.setType(osc.filterType - 1);
            osc.leftFilter.setCutoff(filterFrequencyScale.scale(osc.filterFrequency.value),
                                     1.0 - osc.filterResonance.value);
            osc.rightFilter.setType(osc.filterType - 1);
            osc.rightFilter.setCoefficients(osc.leftFilter.getCoefficients());
        }

        osc.envelope.start(unitValue(settings.retardTime), unitValue(settings.attackTime),
                           unitValue(settings.decayTime), unitValue(settings.sustainLevel),
                           unitValue(settings.sustainTime), unitValue(settings.releaseTime), rate);
    }

    void chooseZone(OscillatorState<T>& osc, const OscillatorSettings& settings)
    {
        osc.setIndex = -1;
        osc.zoneIndex = -1;
        osc.rateRatio = 1.0;
        if (this->sampleBank == nullptr)
            return;
        const ZoneChoice choice =
            selectZone(*this->sampleBank, settings.multiSample, octaveIndex(settings.octave), this->pitch);
        if (choice.setIndex < 0)
            return;
        const WaveSample* sample = (*this->sampleBank)[choice.setIndex]->samples[choice.zoneIndex].get();
        if (sample == nullptr || !osc.frames.assign(*sample))
            return;
        osc.setIndex = choice.setIndex;
        osc.zoneIndex = choice.zoneIndex;
        osc.rateRatio = choice.rateRatio;
        osc.sampleFormat = osc.frames.format;
        osc.sampleRateRatio = this->sampleRate / osc.frames.sampleRate;
    }

    // Pitch from key, detune, octave and pitch bend, with the phase kept continuous when it changes.
    void updateFrequencies(const GlobalParameterState& state)
    {
        const double bend = safePitchBendDivisor(state.pitchBend[channel]);
        const double keyFrequency = static_cast<double>(noteFrequencyTable[this->pitch]);
        const double n = static_cast<double>(sampleCounter);
        for (int32 a = 0; a < activeCount; ++a)
        {
            OscillatorState<T>& osc = oscillators[activeOscillators[a]];
            const OscillatorSettings& settings = state.oscillators[channel][activeOscillators[a]];
            const double d = std::pow(2.0, bipolarValue(settings.detune) * 2.0 / 12.0);
            if (osc.type == kOscillatorMultiSample)
            {
                osc.targetRate = ((d - 1.0) * osc.rateRatio + osc.rateRatio) / bend;
                continue;
            }
            osc.detuneAmount = (d - 1.0) * keyFrequency;
            const double f =
                std::ldexp(1.0, kOctaveNoShift - octaveIndex(settings.octave)) * (keyFrequency + osc.detuneAmount);
            const double cycleStep = f / this->sampleRate / bend;
            const double radianStep = f * 6.283185307179586 / this->sampleRate / bend;
            if (osc.radianIncrement == -1.0)
            {
                osc.radianIncrement = radianStep;
                osc.cycleIncrement = cycleStep;
            }
            else if (radianStep != osc.radianIncrement)
            {
                osc.radianPhaseOffset = osc.radianPhaseOffset + static_cast<T>((osc.radianIncrement - radianStep) * n);
                osc.cyclePhaseOffset = osc.cyclePhaseOffset + static_cast<T>((osc.cycleIncrement - cycleStep) * n);
                osc.radianIncrement = radianStep;
                osc.cycleIncrement = cycleStep;
            }
        }
    }

    // Per-block smoothing: each value moves towards its target by a fixed step per sounding sample.
    void updateTargets(const GlobalParameterState& state, int32 numSamples)
    {
        const double length = std::max(0.005 * this->sampleRate, static_cast<double>(numSamples));
        voiceGain.aim(gainCurve(volumeAmount()), length);

        PanGains pan{this->noteExpressionValues[1], this->noteExpressionValues[2]};
        if (pan.left == 1.0 && pan.right == 1.0)
            pan = panGains(state.panorama[channel]);
        leftPanGain.aim(pan.left, length);
        rightPanGain.aim(pan.right, length);
        modWheel.aim(unitValue(state.modWheel[channel]), length);

        for (int32 a = 0; a < activeCount; ++a)
        {
            OscillatorState<T>& osc = oscillators[activeOscillators[a]];
            if (osc.filterType == kFilterOff)
                continue;
            const OscillatorSettings& settings = state.oscillators[channel][activeOscillators[a]];
            osc.filterFrequency.aim(unitValue(settings.filterFrequency), length);
            osc.filterResonance.aim(unitValue(settings.filterQ), length);
        }
    }

    // Renders one oscillator's values for `count` sounding steps into the scratch; true when the
    // right side differs from the left.
    bool renderOscillator(int32 o, int32 count)
    {
        OscillatorState<T>& osc = oscillators[o];
        T* left = context->left[o];
        T* right = context->right[o];
        bool stereo = false;
        switch (osc.type)
        {
        case kOscillatorSinus: renderGenerated<T, kOscillatorSinus>(osc, sampleCounter, count, left); break;
        case kOscillatorTriangle: renderGenerated<T, kOscillatorTriangle>(osc, sampleCounter, count, left); break;
        case kOscillatorSquare: renderGenerated<T, kOscillatorSquare>(osc, sampleCounter, count, left); break;
        case kOscillatorSaw: renderGenerated<T, kOscillatorSaw>(osc, sampleCounter, count, left); break;
        default:
            stereo = osc.setIndex >= 0 && osc.frames.layout == kStereoFrames;
            renderSamples(osc, count, left, right, context->finished[o]);
            break;
        }
        return stereo;
    }

    // Every white-noise oscillator of the voice: in each step they draw in oscillator order.
    void renderWhiteNoises(int32 count)
    {
        T* outs[kNumOscillators];
        double volumes[kNumOscillators];
        int32 noises = 0;
        for (int32 a = 0; a < activeCount; ++a)
        {
            const int32 o = activeOscillators[a];
            if (oscillators[o].type != kOscillatorWhiteNoise)
                continue;
            outs[noises] = context->left[o];
            volumes[noises++] = oscillators[o].volume;
        }
        if (noises == 0)
            return;
        // The draws first, in their order, then their values, a loop that runs several at a time.
        if (noises == 1)
            context->noise.draw(outs[0], count);
        else
        {
            T draws[kNumOscillators * kRenderChunk];
            context->noise.draw(draws, count * noises);
            if (noises == 2)
                dealDraws<2>(draws, outs, count);
            else
                dealDraws<3>(draws, outs, count);
        }
        for (int32 j = 0; j < noises; ++j)
            for (int32 k = 0; k < count; ++k)
                outs[j][k] = whiteNoiseValue<T>(outs[j][k], volumes[j]);
    }

    // Draws taken in turns for `noises` oscillators, dealt out to each.
    template <int32 noises>
    static void dealDraws(const T* draws, T* const* outs, int32 count)
    {
        for (int32 k = 0; k < count; ++k)
            for (int32 j = 0; j < noises; ++j)
                outs[j][k] = draws[k * noises + j];
    }

    template <int32 format>
    void renderSamplesOf(OscillatorState<T>& osc, int32 count, T* left, T* right, uint8* finished)
    {
        const int32 retard = osc.envelope.retardLength;
        const uint64 n = sampleCounter;
        PlaybackScratch& scratch = context->playback;
        switch (osc.frames.layout)
        {
        case kMonoFrames:
            renderMultiSample<T, format, kMonoFrames>(osc, n, count, retard, left, right, finished, scratch);
            break;
        case kStereoFrames:
            renderMultiSample<T, format, kStereoFrames>(osc, n, count, retard, left, right, finished,
                                                        scratch);
            break;
        default:
            renderMultiSample<T, format, kAlikeStereoFrames>(osc, n, count, retard, left, right, finished,
                                                             scratch);
            break;
        }
    }

    void renderSamples(OscillatorState<T>& osc, int32 count, T* left, T* right, uint8* finished)
    {
        switch (osc.sampleFormat)
        {
        case kSample8Bit:
            renderSamplesOf<kSample8Bit>(osc, count, left, right, finished);
            break;
        case kSample16Bit:
            renderSamplesOf<kSample16Bit>(osc, count, left, right, finished);
            break;
        case kSample24Bit:
            renderSamplesOf<kSample24Bit>(osc, count, left, right, finished);
            break;
        default:
            renderSamplesOf<kSample32Bit>(osc, count, left, right, finished);
            break;
        }
    }

    // Infinity and NaN are the values whose exponent bits are all ones: adding one to such an
    // exponent carries into the sign bit. Integer adds and ors, which the compiler runs over several
    // values at a time even where the baseline has no 64-bit comparison.
    static bool allFinite(const T* values, int32 count)
    {
        using Bits = std::conditional_t<sizeof(T) == 4, uint32, uint64>;
        constexpr Bits exponent = sizeof(T) == 4 ? Bits(0x7f800000u) : Bits(0x7ff0000000000000u);
        constexpr Bits exponentOne = exponent & ~(exponent << 1);
        constexpr Bits sign = ~(~Bits(0) >> 1);
        Bits carries = 0;
        for (int32 k = 0; k < count; ++k)
            carries |= (std::bit_cast<Bits>(values[k]) & exponent) + exponentOne;
        return (carries & sign) == 0;
    }

    bool allSamplesFinished() const
    {
        if (!onlySamplePlayers)
            return false;
        for (int32 a = 0; a < activeCount; ++a)
            if (!oscillators[activeOscillators[a]].finished)
                return false;
        return true;
    }

    bool allReleased() const
    {
        for (int32 a = 0; a < activeCount; ++a)
        {
            const OscillatorState<T>& osc = oscillators[activeOscillators[a]];
            if (!osc.finished && !osc.envelope.releaseComplete())
                return false;
        }
        return true;
    }

    // One stretch of at most kRenderChunk samples; false when the voice ends in it. The work of each
    // sample step is done in passes over the stretch (oscillators, envelopes, voice gains, mixing),
    // each in the order and precision of the per-step formulas, so the result is the same.
    bool renderChunk(int32 length, T* outLeft, T* outRight)
    {
        // The countdowns drop by one per sample: the note starts at the step where its countdown
        // reaches 0, and a taken note-off holds its countdown at 1 so that it fires in every later step.
        const int32 onBefore = this->noteOnSampleOffset;
        const int32 offBefore = this->noteOffSampleOffset;
        const int32 first = static_cast<int32>(std::clamp<int64>(int64(onBefore) - 1, 0, length));
        const int64 noteOffStep = int64(offBefore) - 1;
        const bool noteOffFires = receiveNoteOff && noteOffStep >= first && noteOffStep < length;
        const int32 releaseFrom = noteOffFires ? static_cast<int32>(noteOffStep) : length;
        this->noteOnSampleOffset = countDown(onBefore, length);
        this->noteOffSampleOffset = noteOffFires ? 1 : countDown(offBefore, length);
        if (first >= length)
            return true;

        // White noise draws from the pool's shared source only for the steps that sound, so it
        // renders once the envelopes have said how many do.
        const int32 count = length - first;
        bool stereo[kNumOscillators] = {};
        for (int32 a = 0; a < activeCount; ++a)
            if (oscillators[activeOscillators[a]].type != kOscillatorWhiteNoise)
                stereo[a] = renderOscillator(activeOscillators[a], count);
        const int32 sounding = runEnvelopes(count, releaseFrom - first);
        renderWhiteNoises(sounding);
        runFilters(sounding, stereo);
        // A value that is not a finite number (a filter gone wrong) ends this voice before it
        // reaches the bus, where it would silence every voice of the channel.
        for (int32 a = 0; a < activeCount; ++a)
        {
            const int32 o = activeOscillators[a];
            if (!allFinite(context->left[o], sounding) || (stereo[a] && !allFinite(context->right[o], sounding)))
                return false;
        }

        const GainMotion motion = runVoiceGains(sounding);
        const T* leftSources[kNumOscillators];
        const T* rightSources[kNumOscillators];
        const double* levels[kNumOscillators];
        for (int32 a = 0; a < activeCount; ++a)
        {
            const int32 o = activeOscillators[a];
            leftSources[a] = context->left[o];
            rightSources[a] = stereo[a] ? context->right[o] : context->left[o];
            levels[a] = context->level[a];
        }
        const bool wide = wideVectors();
        const double gain = voiceGain.value;
        switch (motion)
        {
        case GainMotion::none:
            mixSide(wide, leftSources, levels, activeCount, SteadyGains{leftPanGain.value, gain},
                    outLeft + first, sounding);
            mixSide(wide, rightSources, levels, activeCount, SteadyGains{rightPanGain.value, gain},
                    outRight + first, sounding);
            break;
        case GainMotion::tremoloOnly:
            mixSide(wide, leftSources, levels, activeCount,
                    TremoloGains{leftPanGain.value, gain, context->tremolo}, outLeft + first, sounding);
            mixSide(wide, rightSources, levels, activeCount,
                    TremoloGains{rightPanGain.value, gain, context->tremolo}, outRight + first, sounding);
            break;
        case GainMotion::moving:
            mixSide(wide, leftSources, levels, activeCount,
                    MixGains{context->leftGain, context->voiceGain, context->tremolo}, outLeft + first,
                    sounding);
            mixSide(wide, rightSources, levels, activeCount,
                    MixGains{context->rightGain, context->voiceGain, context->tremolo}, outRight + first,
                    sounding);
            break;
        }
        return sounding == count;
    }

    // The coefficients of a moving filter, taken from a sweep that another oscillator already
    // worked out when it started from the same state.
    void sweepCoefficients(OscillatorState<T>& osc, int32 count, BiquadCoefficients* out)
    {
        FilterRampKey key{};
        key.type = osc.leftFilter.getType();
        key.sampleRate = osc.leftFilter.getSampleRate();
        key.start = osc.leftFilter.getCoefficients();
        key.frequency = osc.filterFrequency;
        key.resonance = osc.filterResonance;
        key.count = count;
        if (const auto* ramp = context->filterRamps.find(key))
        {
            std::copy_n(ramp->coefficients, count, out);
            osc.filterFrequency = ramp->frequencyEnd;
            osc.filterResonance = ramp->resonanceEnd;
            return;
        }
        rampCoefficients(osc, count, out);
        context->filterRamps.store(key, out, count, osc.filterFrequency, osc.filterResonance);
    }

    // The filters of all oscillators side by side; while frequency or resonance move, the
    // coefficients follow them step by step.
    void runFilters(int32 count, const bool* stereo)
    {
        FilterPair<T> pairs[kNumOscillators];
        int32 pairCount = 0;
        for (int32 a = 0; a < activeCount; ++a)
        {
            const int32 o = activeOscillators[a];
            OscillatorState<T>& osc = oscillators[o];
            if (osc.filterType == kFilterOff)
                continue;
            FilterPair<T>& pair = pairs[pairCount++];
            pair.left = &osc.leftFilter;
            pair.right = &osc.rightFilter;
            pair.leftData = context->left[o];
            pair.rightData = stereo[a] ? context->right[o] : context->left[o];
            if (osc.filterFrequency.moving() || osc.filterResonance.moving())
            {
                sweepCoefficients(osc, count, context->coefficients[a]);
                pair.perStep = context->coefficients[a];
            }
        }
        if (wideVectors())
            runFilterPairsWide(pairs, pairCount, count);
        else
            runFilterPairs(pairs, pairCount, count);
    }

    // Envelope steps and end tests for `count` sounding steps, with the release firing from step
    // `releaseFrom`; stores each oscillator's level per step. Returns the number of steps that sound
    // before the voice ends (count when it does not end). Runs of steps in which nothing changes
    // stage and no end test can hold go stage by stage; the others step by step.
    int32 runEnvelopes(int32 count, int32 releaseFrom)
    {
        int32 k = 0;
        while (k < count)
        {
            const int32 steady = steadySteps(k, count, releaseFrom);
            if (steady > 0)
            {
                const bool releaseAll = receiveNoteOff && k > releaseFrom;
                for (int32 a = 0; a < activeCount; ++a)
                {
                    const int32 o = activeOscillators[a];
                    OscillatorState<T>& osc = oscillators[o];
                    Envelope& envelope = osc.envelope;
                    envelope.runSteady(steady, !receiveNoteOff, receiveNoteOff ? releaseAll : envelope.releasing,
                                       context->level[a] + k);
                    if (osc.type == kOscillatorMultiSample)
                        osc.finished = context->finished[o][k + steady - 1] != 0;
                }
                k += steady;
                continue;
            }
            if (!stepEnvelopes(k, releaseFrom))
                return k;
            ++k;
        }
        return count;
    }

    // Steps from k on that runSteady can take: no stage ends, no note-off fires, no recording is
    // or becomes finished (so neither end test can hold), and no advancing release completes.
    int32 steadySteps(int32 k, int32 count, int32 releaseFrom) const
    {
        int32 steps = count - k;
        if (receiveNoteOff && k <= releaseFrom)
            steps = std::min(steps, releaseFrom - k);
        const bool releaseAll = receiveNoteOff && k > releaseFrom;
        for (int32 a = 0; a < activeCount && steps > 0; ++a)
        {
            const int32 o = activeOscillators[a];
            const OscillatorState<T>& osc = oscillators[o];
            const Envelope& envelope = osc.envelope;
            steps = std::min(steps,
                             envelope.steadySteps(!receiveNoteOff, receiveNoteOff ? releaseAll : envelope.releasing));
            if (osc.type != kOscillatorMultiSample)
                continue;
            if (osc.finished)
                return 0;
            // The end tests of a step read the flag of the step before.
            const uint8* flags = context->finished[o];
            const int32 span = std::max(steps - 1, 0);
            const void* set = std::memchr(flags + k, 1, static_cast<size_t>(span));
            const int32 clear =
                set != nullptr ? static_cast<int32>(static_cast<const uint8*>(set) - flags) - k : span;
            steps = std::min(steps, clear + 1);
        }
        return steps;
    }

    // One envelope step with its end tests; false when the voice ends in it.
    bool stepEnvelopes(int32 k, int32 releaseFrom)
    {
        for (int32 a = 0; a < activeCount; ++a)
            oscillators[activeOscillators[a]].envelope.advance(!receiveNoteOff);
        if (allSamplesFinished())
            return false;
        if (!receiveNoteOff)
        {
            for (int32 a = 0; a < activeCount; ++a)
            {
                Envelope& envelope = oscillators[activeOscillators[a]].envelope;
                if (envelope.releasing)
                    envelope.advanceRelease();
            }
            if (allReleased())
                return false;
        }
        else if (k >= releaseFrom)
        {
            for (int32 a = 0; a < activeCount; ++a)
            {
                Envelope& envelope = oscillators[activeOscillators[a]].envelope;
                envelope.releasing = true;
                envelope.advanceRelease();
            }
            if (allReleased())
                return false;
        }
        for (int32 a = 0; a < activeCount; ++a)
        {
            OscillatorState<T>& osc = oscillators[activeOscillators[a]];
            if (osc.type == kOscillatorMultiSample)
                osc.finished = context->finished[activeOscillators[a]][k] != 0;
            double level;
            context->level[a][k] = osc.envelope.level(level) ? level : 0.0;
        }
        return true;
    }

    enum class GainMotion
    {
        none,        // gains hold still, no tremolo: nothing per step is written
        tremoloOnly, // gains hold still: only the tremolo per step is written
        moving       // gains, pan gains and tremolo per step are written
    };

    // Voice gain, pan gains and tremolo per step, advancing the smoothing and the sample counter;
    // per-step values are written only for what moves.
    GainMotion runVoiceGains(int32 count)
    {
        // Locals: the stores into the context's arrays could otherwise alias the voice's fields.
        SmoothedValue gain = voiceGain, left = leftPanGain, right = rightPanGain, wheel = modWheel;
        const bool tremolo = wheel.value != 0.0 || wheel.moving();
        const bool gainsMove = gain.moving() || left.moving() || right.moving();
        GainMotion motion = GainMotion::none;
        if (gainsMove)
        {
            motion = GainMotion::moving;
            smoothedSteps(gain, context->voiceGain, count);
            smoothedSteps(left, context->leftGain, count);
            smoothedSteps(right, context->rightGain, count);
            if (!tremolo)
                std::fill_n(context->tremolo, count, 1.0);
        }
        else
            for (SmoothedValue* value : {&gain, &left, &right})
                value->stepsLeft -= count;
        if (tremolo)
        {
            if (!gainsMove)
                motion = GainMotion::tremoloOnly;
            const float* sines = context->tremoloSines.sines(sampleCounter, count, this->sampleRate);
            if (wheel.moving())
            {
                double wheelValues[kRenderChunk];
                smoothedSteps(wheel, wheelValues, count);
                for (int32 k = 0; k < count; ++k)
                    context->tremolo[k] = tremoloFactor(sines[k], wheelValues[k]);
            }
            else
            {
                wheel.stepsLeft -= count;
                for (int32 k = 0; k < count; ++k)
                    context->tremolo[k] = tremoloFactor(sines[k], wheel.value);
            }
        }
        else
            wheel.stepsLeft -= count;
        voiceGain = gain;
        leftPanGain = left;
        rightPanGain = right;
        modWheel = wheel;
        sampleCounter += static_cast<uint64>(count);
        return motion;
    }

    // The tremolo's factor from its sine and the mod wheel, widened for the mix.
    static double tremoloFactor(float sine, double wheel)
    {
        const T u = (static_cast<T>(sine) + T(1)) * T(0.5);
        return static_cast<double>(T(1) - u * static_cast<T>(wheel * 0.5));
    }

    // The value of each of `count` steps, each followed by one smoothing step; a value that does not
    // move stays where it is, so it is written in one go.
    static void smoothedSteps(SmoothedValue& value, double* out, int32 count)
    {
        if (!value.moving())
        {
            std::fill_n(out, count, value.value);
            value.stepsLeft -= count;
            return;
        }
        for (int32 k = 0; k < count; ++k)
        {
            out[k] = value.value;
            value.advance();
        }
    }

    RenderContext* context = nullptr;
    int32 activeOscillators[kNumOscillators] = {};
    int32 activeCount = 0;
    bool onlySamplePlayers = false;
};

} // namespace Steinberg::Vst::TaviroPlugIn
