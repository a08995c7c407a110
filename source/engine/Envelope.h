#pragma once

#include "WideVectors.h"
#include "pluginterfaces/base/ftypes.h"

#include <algorithm>
#include <limits>

namespace Steinberg::Vst::TaviroPlugIn {

// The envelope of one oscillator: a silent retard, a linear attack to 1, a linear decay to the
// sustain level, and a release flag that can be raised in any stage and multiplies the level by
// a value falling linearly to 0. All lengths are sample counts fixed at note-on.
struct Envelope
{
    int32 retardLength = 0;
    int32 attackLength = 1;
    int32 decayLength = 0;
    int32 sustainTimeLength = 0;
    int32 releaseLength = 1;

    int32 retardCounter = 0;
    int32 attackCounter = 0;
    int32 decayCounter = 0;
    int32 sustainTimeCounter = 0;
    int32 releaseCounter = 0;

    bool retardDone = false;
    bool attackDone = false;
    bool decayDone = false;
    bool releasing = false;

    double sustainLevel = 1.0;
    double attackValue = 0.0;
    double decayValue = 0.0;
    double releaseValue = 1.0;

    // Times are normalised 0..1 (0 to 5 seconds); attack and release last at least 5 ms.
    void start(double retardTime, double attackTime, double decayTime, double sustain, double sustainTime,
               double releaseTime, double sampleRate)
    {
        retardLength = static_cast<int32>(retardTime * 5.0 * sampleRate);
        attackLength = static_cast<int32>((attackTime * 5.0 + 0.005) * sampleRate);
        decayLength = static_cast<int32>(decayTime * 5.0 * sampleRate);
        sustainTimeLength = static_cast<int32>(sustainTime * 5.0 * sampleRate);
        releaseLength = static_cast<int32>((releaseTime * 5.0 + 0.005) * sampleRate);
        sustainLevel = sustain;
        retardCounter = attackCounter = decayCounter = sustainTimeCounter = releaseCounter = 0;
        retardDone = attackDone = decayDone = releasing = false;
        attackValue = decayValue = 0.0;
        releaseValue = 1.0;
    }

    // One sounding sample step of retard, attack and decay; a stage that completes lets the next
    // take its first step at once. The sustain time only counts when the note ignores note-offs.
    void advance(bool countSustainTime)
    {
        if (!retardDone && ++retardCounter >= retardLength)
            retardDone = true;
        if (retardDone && !attackDone)
        {
            ++attackCounter;
            attackValue = static_cast<double>(attackCounter) / attackLength;
            if (attackCounter >= attackLength)
                attackDone = true;
        }
        if (attackDone && !decayDone)
        {
            if (decayLength == 0)
                decayDone = true;
            else
            {
                ++decayCounter;
                decayValue = (1.0 - static_cast<double>(decayCounter) / decayLength) * (1.0 - sustainLevel) +
                             sustainLevel;
                if (decayCounter >= decayLength)
                    decayDone = true;
            }
        }
        if (countSustainTime && decayDone && !releasing && ++sustainTimeCounter >= sustainTimeLength)
            releasing = true;
    }

    // Steps from now in which no stage ends, the sustain time does not run out and an advancing
    // release does not complete: steps that runSteady can take.
    int32 steadySteps(bool countSustainTime, bool releaseAdvances) const
    {
        int64 steps = std::numeric_limits<int32>::max();
        if (!retardDone)
            steps = int64(retardLength) - retardCounter - 1;
        else if (!attackDone)
            steps = int64(attackLength) - attackCounter - 1;
        else if (!decayDone)
            steps = decayLength == 0 ? 0 : int64(decayLength) - decayCounter - 1;
        else if (countSustainTime && !releasing)
            steps = int64(sustainTimeLength) - sustainTimeCounter - 1;
        if (releaseAdvances && releaseCounter < releaseLength)
            steps = std::min<int64>(steps, int64(releaseLength) - releaseCounter - 1);
        return static_cast<int32>(std::max<int64>(steps, 0));
    }

    // `steps` steps of advance (and of advanceRelease when the release advances) in which no stage
    // changes, writing the level of each step (0 while the retard runs). The stage is fixed for the
    // run, so each stage's values go in a loop of their own, then the release multiplies them.
    // The loops' divisions run four at a time where the processor has AVX2.
    void runSteady(int32 steps, bool countSustainTime, bool releaseAdvances, double* levels)
    {
        if (wideVectors())
            runSteadyWide(steps, countSustainTime, releaseAdvances, levels);
        else
            runSteadyLoops(steps, countSustainTime, releaseAdvances, levels);
    }

    __attribute__((target("avx2"))) void runSteadyWide(int32 steps, bool countSustainTime, bool releaseAdvances,
                                                       double* levels)
    {
        runSteadyLoops(steps, countSustainTime, releaseAdvances, levels);
    }

    [[gnu::always_inline]] void runSteadyLoops(int32 steps, bool countSustainTime, bool releaseAdvances,
                                               double* levels)
    {
        if (steps <= 0)
            return;
        if (!retardDone)
        {
            retardCounter += steps;
            std::fill_n(levels, steps, 0.0);
        }
        else if (!attackDone)
        {
            attackValue = rampSteps(attackCounter, attackLength, steps, levels);
            attackCounter += steps;
        }
        else if (!decayDone)
        {
            rampSteps(decayCounter, decayLength, steps, levels);
            const double span = 1.0 - sustainLevel;
            for (int32 s = 0; s < steps; ++s)
                levels[s] = (1.0 - levels[s]) * span + sustainLevel;
            decayValue = levels[steps - 1];
            decayCounter += steps;
        }
        else
        {
            if (countSustainTime && !releasing)
                sustainTimeCounter += steps;
            std::fill_n(levels, steps, sustainLevel);
        }
        if (releaseAdvances)
            runRelease(steps, levels);
        else if (releasing)
            for (int32 s = 0; s < steps; ++s)
                levels[s] *= releaseValue;
    }

    // counter / length for the counters after each of `steps` steps from `counter`; returns the last.
    [[gnu::always_inline]] static double rampSteps(int32 counter, int32 length, int32 steps, double* out)
    {
        const double divisor = length;
        for (int32 s = 0; s < steps; ++s)
            out[s] = static_cast<double>(counter + 1 + s) / divisor;
        return out[steps - 1];
    }

    // `steps` steps of advanceRelease; the levels take each step's release value while releasing.
    [[gnu::always_inline]] void runRelease(int32 steps, double* levels)
    {
        const int32 start = releaseCounter;
        if (releasing)
        {
            // The steps before the release ends, then those after it (value 0), each in a loop
            // without a branch.
            const int32 ramp = std::clamp(releaseLength - (start + 1), 0, steps);
            const double length = releaseLength;
            for (int32 s = 0; s < ramp; ++s)
                levels[s] *= 1.0 - static_cast<double>(start + 1 + s) / length;
            for (int32 s = ramp; s < steps; ++s)
                levels[s] *= 0.0;
        }
        releaseCounter = start + steps;
        releaseValue = releaseValueAt(releaseCounter);
    }

    [[gnu::always_inline]] double releaseValueAt(int32 counter) const
    {
        return counter >= releaseLength ? 0.0 : 1.0 - static_cast<double>(counter) / releaseLength;
    }

    void advanceRelease()
    {
        ++releaseCounter;
        releaseValue = releaseValueAt(releaseCounter);
    }

    bool releaseComplete() const { return releasing && releaseCounter >= releaseLength; }

    // The level of the current stage times the release value; false while the retard runs.
    bool level(double& out) const
    {
        if (decayDone)
            out = sustainLevel;
        else if (attackDone)
            out = decayValue;
        else if (retardDone)
            out = attackValue;
        else
            return false;
        if (releasing)
            out *= releaseValue;
        return true;
    }
};

} // namespace Steinberg::Vst::TaviroPlugIn
