#include "InstrumentPrograms.h"

#include "source/ParameterIds.h"

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// Table column order: type, multiSample, volume, attack, decay, sustain level, sustain time,
// release, detune, retard, octave, filter type, filter frequency, filter resonance.
constexpr OscillatorSettings osc(int8 type, int8 multiSample, double volume, double attack, double decay,
                                 double sustainLevel, double sustainTime, double release, double detune,
                                 double retard, int8 octave, int8 filterType, double filterFrequency,
                                 double filterQ)
{
    OscillatorSettings s{};
    s.type = type;
    s.multiSample = multiSample;
    s.volume = volume;
    s.attackTime = attack;
    s.decayTime = decay;
    s.sustainLevel = sustainLevel;
    s.sustainTime = sustainTime;
    s.releaseTime = release;
    s.detune = detune;
    s.retardTime = retard;
    s.octave = octave;
    s.filterType = filterType;
    s.filterFrequency = filterFrequency;
    s.filterQ = filterQ;
    return s;
}

constexpr OscillatorSettings kUnused = osc(0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 8, 0, 1, 0);
constexpr OscillatorSettings kUnusedClosed = osc(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0);

} // namespace

const ProgramSettings kFactoryPrograms[kNumFactoryPrograms] = {
    // 0 "Piano Cologne"
    {0.3334, 1, {osc(6, 2, 1, 0, 0, 1, 0, 0.1, 0, 0, 8, 0, 1, 0), kUnused, kUnused}},
    // 1 "E-Guitar clean surf green"
    {0.3334, 1, {osc(6, 1, 1, 0, 0, 1, 0, 0.1, 0, 0, 8, 0, 1, 0), kUnused, kUnused}},
    // 2 "Le Mont-Saint-Michel"
    {0.3334, 1,
     {osc(6, 2, 0.3, 0.4, 0, 1, 0, 0.6, 0, 0, 13, 0, 1, 0),
      osc(6, 2, 0.25, 0.5, 0, 1, 0, 0.6, 0.3, 0.08, 12, 0, 1, 0),
      osc(6, 2, 0.25, 0.5, 0, 1, 0, 0.6, -0.3, 0.12, 11, 1, 0.4, 0)}},
    // 3 "European Disco SAW"
    {0.3334, 1,
     {osc(6, 4, 0.33, 0, 0, 1, 0, 0.1, 0, 0, 8, 0, 0, 0),
      osc(6, 4, 0.33, 0, 0, 1, 0, 0.1, -0.035, 0, 8, 0, 0, 0),
      osc(6, 4, 0.33, 0, 0, 1, 0, 0.1, 0.095, 0, 8, 0, 0, 0)}},
    // 4 "Chinese pipa"
    {0.75, 0,
     {osc(6, 2, 0.33, 0, 0.025, 0.6, 0, 0.2, 0, 0, 8, 2, 0.6, 0),
      osc(6, 2, 0.8, 0, 0.025, 0.6, 0, 0.2, 0.025, 0, 8, 2, 0.7, 0),
      osc(0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 8, 0, 0, 0)}},
    // 5 "Synth Bass"
    {0.5, 1,
     {osc(6, 4, 0.58, 0.006, 0.008, 0.12, 0, 0.071, 0, 0, 8, 1, 0.15, 0.35),
      osc(6, 4, 0.58, 0.006, 0.008, 0.12, 0, 0.071, 0, 0, 9, 1, 0.22, 0.33), kUnused}},
    // 6 "Synth Clarinet"
    {0.82, 1,
     {osc(6, 5, 1, 0.011, 0.012, 0.25, 0, 0.13, 0.02, 0, 8, 2, 0.53, 0.56),
      osc(6, 5, 0.375, 0.011, 0.012, 0.25, 0, 0.13, 0, 0, 8, 2, 0.5, 0.14),
      osc(6, 5, 0.265, 0.011, 0.012, 0.25, 0, 0.13, -0.02, 0, 8, 2, 0.45, 0.12)}},
    // 7 "Synth Strings"
    {0.3334, 1,
     {osc(6, 4, 0.5, 0.026, 0, 1, 0, 0.17, 0, 0, 8, 1, 0.6, 0),
      osc(6, 4, 0.5, 0.071, 0, 1, 0, 0.17, 0, 0, 8, 1, 0.31, 0.14), kUnusedClosed}},
    // 8 "Seashore"
    {0.3334, 0,
     {osc(5, 0, 0.35, 0.5704, 0.48, 0.31, 0, 0.3756, 0, 0, 8, 1, 0.59, 0),
      osc(5, 0, 0.295, 0.2258, 0.27, 0.12, 0, 0.4456, 0, 0.555, 8, 2, 0.502, 0.14), kUnusedClosed}},
    // 9 "Synth Trumpet"
    {0.5, 1,
     {osc(6, 4, 1, 0.011, 0.012, 0.25, 0, 0.13, 0.02, 0, 8, 2, 0.53, 0.56),
      osc(6, 4, 0.375, 0.011, 0.012, 0.25, 0, 0.13, 0, 0, 8, 2, 0.5, 0.14),
      osc(6, 4, 0.265, 0.011, 0.012, 0.25, 0, 0.13, -0.02, 0, 8, 2, 0.45, 0.12)}},
    // 10 "Synth Accordion"
    {0.28, 1,
     {osc(6, 4, 0.675, 0.028, 0, 1, 0, 0.1216, -0.03, 0, 7, 2, 0.59, 0.22),
      osc(6, 4, 0.21, 0.013, 0.047, 1, 0, 0.1216, 0.01, 0.006, 8, 0, 0, 0),
      osc(6, 4, 0.56, 0.023, 0, 1, 0, 0.1216, 0.03, 0, 8, 2, 0.39, 0)}},
    // 11 "Warm Pad"
    {0.29, 1,
     {osc(6, 4, 0.5, 0.026, 0, 1, 0, 0.17, -0.06, 0, 8, 1, 0.2, 0),
      osc(6, 4, 0.5, 0.071, 0, 1, 0, 0.17, 0.06, 0, 8, 1, 0.25, 0), kUnusedClosed}},
    // 12 "Flute"
    {0.42, 1,
     {osc(1, 0, 0.8, 0.027, 0.055, 0.79, 0, 0.036, 0, 0, 7, 2, 0.39, 0),
      osc(6, 4, 0.115, 0.016, 0.005, 0.105, 0, 0, 0, 0, 7, 1, 0.48, 0.43), kUnusedClosed}},
    // 13 "Pizzicato"
    {0.55, 0,
     {osc(6, 1, 0.6, 0, 0.006, 0.18, 0, 0.101, -0.01, 0, 8, 1, 0.32, 0.51),
      osc(1, 0, 0.46, 0, 0.006, 0.145, 0, 0.101, 0, 0.01, 8, 0, 0, 0),
      osc(1, 0, 0.475, 0, 0.006, 0.145, 0, 0.101, 0.03, 0.017, 8, 1, 0.48, 0.6)}},
    // 14 "Muted E-Guitar"
    {0.43, 1, {osc(6, 7, 1, 0, 0, 1, 0, 0.1, 0, 0, 8, 0, 1, 0), kUnused, kUnused}},
};

// "Drums", the single program of the drum channel.
const ProgramSettings kDrumKit = {
    0.5, 0,
    {osc(6, 3, 1, 0, 0, 1, 0.9, 0, 0, 0, 8, 0, 1, 0), osc(0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 1, 0),
     osc(0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 1, 0)}};

const int32 kProgramParameterOffsets[kNumProgramParameters] = {
    0,  14, 28, 42, 9,  10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40, 41, 4,  18, 32,
    2,  16, 30, 3,  17, 31, 5,  6,  7,  19, 20, 21, 33, 34, 35, 8,  22, 36, 45, 1,  15, 29};

namespace {

void writeProgram(GlobalParameterState& state, int32 ch, const ProgramSettings& program)
{
    state.masterVolume[ch] = program.masterVolume;
    state.receiveNoteOff[ch] = program.receiveNoteOff;
    for (int32 o = 0; o < kNumOscillators; ++o)
        state.oscillators[ch][o] = program.oscillators[o];
}

} // namespace

void applyProgram(GlobalParameterState& state, int32 ch, PendingParameterIds* pending)
{
    const int32 p = state.program[ch];
    if (ch == kDrumChannel)
    {
        if (p == 0)
            writeProgram(state, ch, kDrumKit);
    }
    else if (p >= 0 && p < kNumFactoryPrograms)
    {
        writeProgram(state, ch, kFactoryPrograms[p]);
    }
    else if (p >= kFirstUserProgram && p < kNumPrograms)
    {
        const UserProgram& user = state.userPrograms[p - kFirstUserProgram];
        writeProgram(state, ch, {user.masterVolume, user.receiveNoteOff,
                                 {user.oscillators[0], user.oscillators[1], user.oscillators[2]}});
    }

    if (pending)
        for (int32 k : kProgramParameterOffsets)
            pending->push(channelParameterId(ch, k));
}

} // namespace Steinberg::Vst::TaviroPlugIn
