#pragma once

// A plain model of the voice engine: the pool of 128 voices and the sound of one voice, written
// sample step by sample step in the order and precision of the product's formulas, with no concern
// for speed. The differential test holds the engine to it bit for bit.

#include "pluginterfaces/vst/ivstevents.h"
#include "source/engine/DoubleSine.h"
#include "source/samples/SampleBank.h"
#include "source/state/GlobalParameterState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>
#include <xmmintrin.h>

namespace Taviro::Test::Reference {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

inline double clamp01(double v)
{
    return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
}

inline float keyFrequency(int32 key)
{
    double f = 8.175798915636872;
    for (int32 k = 0; k < key; ++k)
        f *= 1.059463094359;
    return static_cast<float>(f);
}

inline double gain(float b)
{
    const float k = static_cast<float>(std::pow(10.0, -0.6) * 0.70710677);
    const float k2 = static_cast<float>(std::pow(10.0, 1.2) * static_cast<double>(k));
    if (!(b > 0.0f))
        return 0.0;
    double g;
    if (b >= 0.5f)
        g = std::pow(10.0, static_cast<double>((b - 0.5f) * 24.0f / 20.0f)) * static_cast<double>(k);
    else
        g = static_cast<double>(std::pow(b, 3.9863138f) * k2);
    return std::isfinite(g) ? g : 0.0;
}

inline void pan(double p, double& left, double& right)
{
    left = right = 1.0;
    if (p > 0.5)
        left = (0.5 - std::min(p, 1.0)) * 2.0 + 1.0;
    else if (p < 0.5)
        right = std::max(p, 0.0) * 2.0;
}

inline double cutoff(double x)
{
    return 80.0 + 17920.0 * static_cast<double>(std::pow(static_cast<float>(x), 3.381090167355506f));
}

// One smoothing step: adds `step`, never past the target, and lands on it after M steps.
inline void smooth(double& value, double step, double target, int32 stepsTaken, double length)
{
    if (step == 0.0)
        return;
    value += step;
    if ((step > 0.0 && value > target) || (step < 0.0 && value < target) || stepsTaken >= length)
        value = target;
}

struct Filter
{
    int32 type = 0;
    double rate = 44100.0, inverseRate = 1.0 / 44100.0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;

    void set(double f, double bw)
    {
        f = std::max(f, 80.0);
        f = std::min(f, 0.49 * rate); // held below Nyquist at low sample rates
        const double w0 = f * 6.283185307179586 * inverseRate;
        const double sw = std::sin(w0), cw = std::cos(w0);
        const double alpha = sw * std::sinh(std::log(2.0) / 2.0 * bw * w0 / sw);
        double n0 = (1 - cw) / 2, n1 = 1 - cw, n2 = (1 - cw) / 2;
        if (type == 1)
            n0 = (1 + cw) / 2, n1 = -(1 + cw), n2 = (1 + cw) / 2;
        else if (type == 2)
            n0 = sw / 2, n1 = 0, n2 = -sw / 2;
        const double inv = 1.0 / (1.0 + alpha);
        const double c[5] = {n0 * inv, n1 * inv, n2 * inv, -2.0 * cw * inv, (1.0 - alpha) * inv};
        for (double v : c)
            if (!std::isfinite(v))
                return; // keeps the last finite coefficients
        b0 = float(c[0]), b1 = float(c[1]), b2 = float(c[2]), a1 = float(c[3]), a2 = float(c[4]);
    }
    double run(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
};

template <typename T>
struct Oscillator
{
    int32 type = 0;
    double volume = 0;
    double radianIncrement = -1, cycleIncrement = -1;
    T radianOffset = 0, cycleOffset = 0;
    const WaveSample* sample = nullptr;
    double rateRatio = 1, rate = -1, targetRate = 1, positionOffset = 0;
    int32 positionBase = 0;
    bool finished = false;
    int32 filterType = 0;
    double frequency = 1.0, resonance = 0.0, frequencyTarget = 0, resonanceTarget = 0;
    double frequencyStep = 0, resonanceStep = 0;
    Filter left, right;
    int32 R = 0, A = 0, D = 0, Tm = 0, L = 0;
    int32 retardCount = 0, attackCount = 0, decayCount = 0, sustainCount = 0, releaseCount = 0;
    bool retardDone = false, attackDone = false, decayDone = false, releasing = false;
    double S = 0, attackValue = 0, decayValue = 0, releaseValue = 0;
};

template <typename T>
T convert(const uint8* p, int32 bits)
{
    int32 v;
    T divisor, scale;
    if (bits == 8)
        v = p[0] - 128, divisor = T(127), scale = T(0.0078125);
    else if (bits == 16)
        v = int16(uint16(p[0] | p[1] << 8)), divisor = T(32767), scale = T(3.0517578125e-05);
    else if (bits == 24)
    {
        v = p[0] | p[1] << 8 | p[2] << 16;
        if (v & 0x800000)
            v -= 0x1000000;
        divisor = T(8388607), scale = T(1.1920928955078125e-07);
    }
    else
        v = int32(uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24), divisor = T(2147483647),
        scale = T(4.656612873077393e-10);
    return v > 0 ? T(v) / divisor : (v < 0 ? T(v) * scale : T(0));
}

template <typename T>
void readFrame(const WaveSample& s, uint64 j, T& l, T& r)
{
    if (s.hasLoop && j >= s.loopEnd)
        j = s.loopStart + (j - s.loopStart) % (s.loopEnd - s.loopStart);
    const uint64 frames = uint64(s.dataSize / s.channels / s.bytesPerSample);
    if (!s.hasLoop && j >= frames)
    {
        l = r = T(0);
        return;
    }
    const uint8* p = s.data + j * uint64(s.bytesPerSample) * uint64(s.channels);
    l = convert<T>(p, s.bitsPerSample);
    r = s.channels == 2 ? convert<T>(p + s.bytesPerSample, s.bitsPerSample) : l;
}

template <typename T>
bool pastEnd(const WaveSample& s, uint64 j)
{
    return !s.hasLoop && j >= uint64(s.dataSize / s.channels / s.bytesPerSample);
}

// The pool's random source: the top 15 bits of a 32-bit linear congruential generator.
struct Noise
{
    uint32 state = 22222u;
    int32 next()
    {
        state = state * 1664525u + 1013904223u;
        return int32(state >> 17);
    }
};

template <typename T>
struct Voice
{
    const GlobalParameterState* state = nullptr;
    const SampleBank* bank = nullptr;
    Noise* noise = nullptr;
    double sampleRate = 44100;
    int32 noteId = -1, pitch = -1, channel = 0, onCountdown = -1, offCountdown = -1;
    uint32 n = 0;
    bool receiveNoteOff = true;
    double velocity = 0, expression[3] = {0, 1, 1};
    double voiceGain = 0, leftPan = 1, rightPan = 1, modWheel = 0;
    double gainTarget = 0, leftTarget = 1, rightTarget = 1, modTarget = 0;
    double gainStep = 0, leftStep = 0, rightStep = 0, modStep = 0;
    Oscillator<T> osc[3];
    bool sineMissReported = false;

    void reset()
    {
        n = 0;
        for (auto& o : osc)
        {
            o.frequency = 1.0, o.resonance = 0.0;
            for (Filter* f : {&o.left, &o.right})
                f->x1 = f->x2 = f->y1 = f->y2 = 0, f->b0 = 1, f->b1 = f->b2 = f->a1 = f->a2 = 0;
        }
        onCountdown = offCountdown = noteId = -1;
    }

    float amount() const
    {
        return float(clamp01(state->masterVolume[channel]) * 3.0 * velocity * clamp01(state->mainVolume[channel]) +
                     expression[0]);
    }

    void noteOn(int32 key, double vel, int32 offset, int32 id, int32 ch)
    {
        channel = ch, noteId = id, pitch = key, onCountdown = offset + 1;
        const double sr = sampleRate;
        for (int32 i = 0; i < 3; ++i)
        {
            const OscillatorSettings& s = state->oscillators[ch][i];
            Oscillator<T>& o = osc[i];
            o.type = std::clamp<int32>(s.type, 0, 6);
            if (o.type == 0)
                continue;
            o.finished = false, o.radianOffset = o.cycleOffset = 0, o.positionOffset = 0, o.positionBase = 0;
            o.radianIncrement = o.cycleIncrement = o.rate = -1;
            o.volume = clamp01(s.volume);
            o.sample = nullptr;
            if (o.type == 6)
            {
                const ZoneChoice z = selectZone(*bank, s.multiSample, std::clamp<int32>(s.octave, 0, 16), key);
                if (z.setIndex >= 0)
                    o.sample = (*bank)[z.setIndex]->samples[z.zoneIndex].get(), o.rateRatio = z.rateRatio;
            }
            o.filterType = std::clamp<int32>(s.filterType, 0, 3);
            if (o.filterType != 0)
            {
                o.frequency = clamp01(s.filterFrequency), o.resonance = clamp01(s.filterQ);
                o.left.type = o.right.type = o.filterType - 1;
                o.left.set(cutoff(o.frequency), 1.0 - o.resonance);
                o.right.set(cutoff(o.frequency), 1.0 - o.resonance);
            }
            o.R = int32(clamp01(s.retardTime) * 5 * sr), o.A = int32((clamp01(s.attackTime) * 5 + 0.005) * sr);
            o.D = int32(clamp01(s.decayTime) * 5 * sr), o.Tm = int32(clamp01(s.sustainTime) * 5 * sr);
            o.L = int32((clamp01(s.releaseTime) * 5 + 0.005) * sr), o.S = clamp01(s.sustainLevel);
            o.retardCount = o.attackCount = o.decayCount = o.sustainCount = o.releaseCount = 0;
            o.retardDone = o.attackDone = o.decayDone = o.releasing = false;
        }
        receiveNoteOff = state->receiveNoteOff[ch] != 0;
        expression[0] = 0, expression[1] = expression[2] = 1.0;
        pan(state->panorama[ch], leftPan, rightPan);
        modWheel = 0, velocity = vel;
        voiceGain = gain(amount());
    }

    void noteOff(int32 offset) { offCountdown = offset + 1; }

    void setExpression(int32 typeId, double value)
    {
        if (typeId >= 100000 && typeId < 100016)
            pan(value, expression[1], expression[2]);
        else if (typeId >= 100016 && typeId < 100032)
            expression[0] = value;
    }

    bool end()
    {
        onCountdown = offCountdown = -1;
        return false;
    }

    bool allFinishedSamples() const
    {
        for (const auto& o : osc)
            if (o.type != 0 && !(o.type == 6 && o.finished))
                return false;
        return true;
    }
    bool allReleased() const
    {
        for (const auto& o : osc)
            if (o.type != 0 && !o.finished && !(o.releasing && o.releaseCount >= o.L))
                return false;
        return true;
    }
    static void release(Oscillator<T>& o)
    {
        ++o.releaseCount;
        o.releaseValue = o.releaseCount >= o.L ? 0.0 : 1.0 - double(o.releaseCount) / o.L;
    }

    void envelope(Oscillator<T>& o)
    {
        if (!o.retardDone && ++o.retardCount >= o.R)
            o.retardDone = true;
        if (o.retardDone && !o.attackDone)
        {
            ++o.attackCount;
            o.attackValue = double(o.attackCount) / o.A;
            if (o.attackCount >= o.A)
                o.attackDone = true;
        }
        if (o.attackDone && !o.decayDone)
        {
            if (o.D == 0)
                o.decayDone = true;
            else
            {
                ++o.decayCount;
                o.decayValue = (1.0 - double(o.decayCount) / o.D) * (1.0 - o.S) + o.S;
                if (o.decayCount >= o.D)
                    o.decayDone = true;
            }
        }
        if (!receiveNoteOff && o.decayDone && !o.releasing && ++o.sustainCount >= o.Tm)
            o.releasing = true;
    }

    void frequencies()
    {
        const double bend =
            state->pitchBend[channel] > 0 && std::isfinite(state->pitchBend[channel]) ? state->pitchBend[channel] : 1.0;
        const double key = keyFrequency(pitch);
        for (int32 i = 0; i < 3; ++i)
        {
            Oscillator<T>& o = osc[i];
            const OscillatorSettings& s = state->oscillators[channel][i];
            if (o.type == 0)
                continue;
            const double d = std::pow(2.0, std::clamp(s.detune, -1.0, 1.0) * 2.0 / 12.0);
            if (o.type == 6)
            {
                o.targetRate = ((d - 1.0) * o.rateRatio + o.rateRatio) / bend;
                continue;
            }
            const double f = std::pow(2.0, 8 - std::clamp<int32>(s.octave, 0, 16)) * (key + (d - 1.0) * key);
            const double cycle = f / sampleRate / bend, radian = f * 6.283185307179586 / sampleRate / bend;
            if (o.radianIncrement == -1)
                o.radianIncrement = radian, o.cycleIncrement = cycle;
            else if (radian != o.radianIncrement)
            {
                o.radianOffset = o.radianOffset + T((o.radianIncrement - radian) * double(n));
                o.cycleOffset = o.cycleOffset + T((o.cycleIncrement - cycle) * double(n));
                o.radianIncrement = radian, o.cycleIncrement = cycle;
            }
        }
    }

    void targets(int32 numSamples)
    {
        const double M = std::max(0.005 * sampleRate, double(numSamples));
        auto step = [M](double target, double current) { return target == current ? 0.0 : (target - current) / M; };
        gainTarget = gain(amount());
        gainStep = step(gainTarget, voiceGain);
        leftTarget = expression[1], rightTarget = expression[2];
        if (leftTarget == 1.0 && rightTarget == 1.0)
            pan(state->panorama[channel], leftTarget, rightTarget);
        leftStep = step(leftTarget, leftPan), rightStep = step(rightTarget, rightPan);
        modTarget = clamp01(state->modWheel[channel]);
        modStep = step(modTarget, modWheel);
        for (int32 i = 0; i < 3; ++i)
        {
            Oscillator<T>& o = osc[i];
            if (o.type == 0 || o.filterType == 0)
                continue;
            o.frequencyTarget = clamp01(state->oscillators[channel][i].filterFrequency);
            o.resonanceTarget = clamp01(state->oscillators[channel][i].filterQ);
            o.frequencyStep = step(o.frequencyTarget, o.frequency);
            o.resonanceStep = step(o.resonanceTarget, o.resonance);
        }
    }

    // The sine waveform is the library's sin(theta). In double precision the engine works it out in
    // vector lanes, and the one difference allowed from the library's value is an ulp of the
    // double result (both are then faithful sines, and a faithful sine has only those two choices).
    // The model checks that bound, reporting the first miss of each voice, and goes on with the
    // engine's value so that every later step is still held to the engine bit for bit.
    double sine(double theta)
    {
        const double library = std::sin(theta);
        if constexpr (std::is_same_v<T, float>)
            return library;
        else
        {
            double engine;
            DoubleSine::sines(&theta, &engine, 1);
            if (engine != library && engine != std::nextafter(library, engine) && !sineMissReported)
            {
                sineMissReported = true;
                ADD_FAILURE() << "sin(" << theta << "): engine " << engine << ", library " << library;
            }
            return engine;
        }
    }

    void waveform(Oscillator<T>& o, T& l, T& r)
    {
        const double theta = double(n) * o.radianIncrement + double(o.radianOffset);
        switch (o.type)
        {
        case 1: l = T(sine(theta)); break;
        case 2: l = T((std::acos(std::sin(theta)) - 1.5707963) / 1.5707963); break;
        case 3: l = std::sin(theta) >= 0.0 ? T(1) : T(-1); break;
        case 4: {
            const double p = double(T(T(double(n) * o.cycleIncrement) + o.cycleOffset));
            l = T((p - std::floor(p + 0.5)) * 2.0);
            break;
        }
        default: l = T(noise->next()) / T(32767) * T(2) - T(1); break;
        }
        r = l;
    }

    void playSample(Oscillator<T>& o, T& l, T& r)
    {
        l = r = T(0);
        if (int64(n) < o.R || o.sample == nullptr)
        {
            if (o.sample == nullptr)
                o.finished = true;
            return;
        }
        const WaveSample& s = *o.sample;
        const double ratio = sampleRate / double(s.sampleRate);
        const int64 m = int64(n) - o.R;
        if (o.rate == -1)
            o.rate = o.targetRate;
        if (o.rate != o.targetRate)
        {
            o.positionOffset += double(m - o.positionBase) / ratio * o.rate;
            o.rate = o.targetRate;
            o.positionBase = int32(m);
        }
        const double pos = double(m - o.positionBase) / ratio * o.rate + o.positionOffset;
        const uint64 i = uint64(pos);
        if (double(i) == pos)
        {
            readFrame(s, i, l, r);
            o.finished = pastEnd<T>(s, i);
            return;
        }
        const double t = pos - double(i);
        T yl[4], yr[4];
        for (int32 k = 0; k < 4; ++k)
            readFrame(s, i - 1 + uint64(k), yl[k], yr[k]);
        const double t2 = t * t, t3 = t2 * t;
        auto cubic = [t, t2, t3](const T* y) {
            return (1.5 * t3 - 2.5 * t2 + 1) * double(y[1]) + (t2 - 0.5 * t3 - 0.5 * t) * double(y[0]) +
                   (2 * t2 - 1.5 * t3 + 0.5 * t) * double(y[2]) + (0.5 * t3 - 0.5 * t2) * double(y[3]);
        };
        l = T(cubic(yl));
        r = s.channels == 2 ? T(cubic(yr)) : l;
        o.finished = pastEnd<T>(s, i + 2);
    }

    // One block of `numSamples` steps added into out[0] (left) and out[1] (right).
    bool process(T* const out[2], int32 numSamples)
    {
        if (osc[0].type == 0 && osc[1].type == 0 && osc[2].type == 0)
            return end();
        frequencies();
        targets(numSamples);
        const double M = std::max(0.005 * sampleRate, double(numSamples));
        int32 stepsTaken = 0;
        for (int32 i = 0; i < numSamples; ++i)
        {
            --onCountdown, --offCountdown;
            if (onCountdown > 0)
                continue;
            for (auto& o : osc)
                if (o.type != 0)
                    envelope(o);
            if (allFinishedSamples())
                return end();
            if (!receiveNoteOff)
            {
                for (auto& o : osc)
                    if (o.type != 0 && o.releasing)
                        release(o);
                if (allReleased())
                    return end();
            }
            else if (offCountdown == 0)
            {
                offCountdown = 1;
                for (auto& o : osc)
                    if (o.type != 0)
                        o.releasing = true, release(o);
                if (allReleased())
                    return end();
            }
            ++stepsTaken;
            T values[3][2] = {};
            for (int32 k = 0; k < 3; ++k)
            {
                Oscillator<T>& o = osc[k];
                if (o.type == 0)
                    continue;
                T l, r;
                if (o.type == 6)
                    playSample(o, l, r);
                else
                    waveform(o, l, r);
                l = T(double(l) * o.volume), r = T(double(r) * o.volume);
                if (o.filterType != 0)
                {
                    if (o.frequencyStep != 0 || o.resonanceStep != 0)
                    {
                        o.left.set(cutoff(o.frequency), 1.0 - o.resonance);
                        o.right.set(cutoff(o.frequency), 1.0 - o.resonance);
                        smooth(o.frequency, o.frequencyStep, o.frequencyTarget, stepsTaken, M);
                        smooth(o.resonance, o.resonanceStep, o.resonanceTarget, stepsTaken, M);
                    }
                    l = T(o.left.run(double(l)));
                    r = T(o.right.run(double(r)));
                }
                values[k][0] = l, values[k][1] = r;
            }
            ++n;
            T tremolo;
            const double x = double(n) * 15.707963267948966 / sampleRate;
            const T u = (T(float(std::sin(x))) + T(1)) * T(0.5);
            tremolo = T(1) - u * T(modWheel * 0.5);
            T sum[2] = {out[0][i], out[1][i]};
            for (int32 k = 0; k < 3; ++k)
            {
                const Oscillator<T>& o = osc[k];
                if (o.type == 0)
                    continue;
                double level;
                if (o.decayDone)
                    level = o.S;
                else if (o.attackDone)
                    level = o.decayValue;
                else if (o.retardDone)
                    level = o.attackValue;
                else
                    continue;
                if (o.releasing)
                    level *= o.releaseValue;
                sum[0] += T(double(values[k][0]) * leftPan * voiceGain * double(tremolo) * level);
                sum[1] += T(double(values[k][1]) * rightPan * voiceGain * double(tremolo) * level);
            }
            out[0][i] = sum[0], out[1][i] = sum[1];
            smooth(voiceGain, gainStep, gainTarget, stepsTaken, M);
            smooth(leftPan, leftStep, leftTarget, stepsTaken, M);
            smooth(rightPan, rightStep, rightTarget, stepsTaken, M);
            smooth(modWheel, modStep, modTarget, stepsTaken, M);
        }
        return true;
    }
};

// The pool: clears the 16 buses, dispatches the block's events, lets each busy voice render.
template <typename T>
struct Pool
{
    Pool(float rate, const GlobalParameterState* state, const SampleBank* bank) : voices(128)
    {
        for (Voice<T>& v : voices)
        {
            v.state = state, v.bank = bank, v.noise = &noise, v.sampleRate = double(rate);
            for (auto& o : v.osc)
                for (Filter* f : {&o.left, &o.right})
                    f->rate = double(rate), f->inverseRate = 1.0 / double(rate);
            v.reset();
        }
    }

    void process(const std::vector<Event>& events, T* const out[16][2], int32 numSamples)
    {
        const unsigned mode = _mm_getcsr(); // denormals flushed to zero, as on the audio thread
        _mm_setcsr(mode | 0x8040);
        render(events, out, numSamples);
        _mm_setcsr(mode);
    }

    void render(const std::vector<Event>& events, T* const out[16][2], int32 numSamples)
    {
        for (int32 b = 0; b < 16; ++b)
            for (int32 c = 0; c < 2; ++c)
                std::fill_n(out[b][c], numSamples, T(0));
        for (const Event& e : events)
            dispatch(e);
        for (Voice<T>& v : voices)
        {
            if (v.noteId == -1)
                continue;
            if (!v.process(out[v.channel], numSamples))
                v.reset(), --activeVoices;
        }
        for (int32 b = 0; b < 16; ++b) // non-finite values never reach the host
            for (int32 c = 0; c < 2; ++c)
                for (int32 i = 0; i < numSamples; ++i)
                    if (!std::isfinite(out[b][c][i]))
                        out[b][c][i] = T(0);
    }

    void dispatch(const Event& e)
    {
        if (e.type == Event::kNoteOnEvent)
        {
            const NoteOnEvent& on = e.noteOn;
            if (on.channel < 0 || on.channel > 15 || on.pitch < 0 || on.pitch > 127)
                return;
            for (Voice<T>& v : voices)
                if (v.noteId == -1)
                {
                    v.noteOn(on.pitch, on.velocity, e.sampleOffset, on.noteId == -1 ? on.pitch : on.noteId, on.channel);
                    ++activeVoices;
                    return;
                }
        }
        else if (e.type == Event::kNoteOffEvent)
        {
            const NoteOffEvent& off = e.noteOff;
            if (off.channel < 0 || off.channel > 15 || (off.noteId == -1 && (off.pitch < 0 || off.pitch > 127)))
                return;
            const int32 id = off.noteId == -1 ? off.pitch : off.noteId;
            for (Voice<T>& v : voices)
                if (v.noteId == id && v.channel == off.channel && v.offCountdown < 0)
                    return v.noteOff(e.sampleOffset);
        }
        else if (e.type == Event::kNoteExpressionValueEvent)
        {
            const NoteExpressionValueEvent& x = e.noteExpressionValue;
            const int32 type = int32(x.typeId);
            const int32 ch = type >= 100000 && type < 100032 ? (type - 100000) % 16 : -1;
            if (x.noteId == -1 || ch < 0)
                return;
            for (Voice<T>& v : voices)
                if (v.noteId == x.noteId && v.channel == ch && v.offCountdown < 0)
                    return v.setExpression(type, x.value);
        }
    }

    std::vector<Voice<T>> voices;
    Noise noise;
    int32 activeVoices = 0;
};

} // namespace Taviro::Test::Reference
