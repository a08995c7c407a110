#include "GlobalParameterState.h"

#include "InstrumentPrograms.h"
#include "base/source/fstreamer.h"

#include <cstring>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// Reads or writes one field; the same field order serves both directions.
struct StreamReader
{
    IBStreamer& streamer;
    bool operator()(double& value) { return streamer.readDouble(value); }
    bool operator()(int8& value) { return streamer.readInt8(value); }
};

struct StreamWriter
{
    IBStreamer& streamer;
    bool operator()(double value) { return streamer.writeDouble(value); }
    bool operator()(int8 value) { return streamer.writeInt8(value); }
};

// The oscillator record: retardTime before detune, type and multiSample last.
template <typename Transfer, typename Oscillator>
bool transferOscillator(Transfer& transfer, Oscillator& osc)
{
    return transfer(osc.volume) && transfer(osc.attackTime) && transfer(osc.decayTime) &&
           transfer(osc.sustainLevel) && transfer(osc.sustainTime) && transfer(osc.releaseTime) &&
           transfer(osc.retardTime) && transfer(osc.detune) && transfer(osc.octave) &&
           transfer(osc.filterType) && transfer(osc.filterFrequency) && transfer(osc.filterQ) &&
           transfer(osc.type) && transfer(osc.multiSample);
}

template <typename Transfer, typename State>
bool transferState(Transfer& transfer, State& state)
{
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        for (auto& osc : state.oscillators[ch])
            if (!transferOscillator(transfer, osc))
                return false;
        if (!(transfer(state.masterVolume[ch]) && transfer(state.receiveNoteOff[ch]) &&
              transfer(state.program[ch])))
            return false;
    }
    for (auto& user : state.userPrograms)
    {
        for (auto& osc : user.oscillators)
            if (!transferOscillator(transfer, osc))
                return false;
        if (!(transfer(user.masterVolume) && transfer(user.receiveNoteOff)))
            return false;
    }
    return true;
}

constexpr int64 kStateVersion = 1;

} // namespace

tresult GlobalParameterState::getState(IBStream* stream) const
{
    if (!stream)
        return kResultFalse;
    IBStreamer streamer(stream, kLittleEndian);
    StreamWriter writer{streamer};
    if (!streamer.writeInt64(kStateVersion) || !transferState(writer, *this))
        return kResultFalse;
    return kResultOk;
}

tresult GlobalParameterState::setState(IBStream* stream)
{
    if (!stream)
        return kResultFalse;
    IBStreamer streamer(stream, kLittleEndian);
    StreamReader reader{streamer};
    // Any version is read the same way; the word is there for future formats.
    int64 version = 0;
    if (!streamer.readInt64(version) || !transferState(reader, *this))
        return kResultFalse;
    return kResultOk;
}

void setInitialContents(GlobalParameterState& state)
{
    std::memset(&state, 0, sizeof(state));

    OscillatorSettings silent{};
    silent.filterFrequency = 1.0;
    silent.octave = 8;
    silent.sustainLevel = 1.0;
    silent.releaseTime = 0.12;
    for (auto& user : state.userPrograms)
    {
        user.masterVolume = 0.3334;
        user.receiveNoteOff = 1;
        for (auto& osc : user.oscillators)
            osc = silent;
        user.oscillators[0].type = 1;
        user.oscillators[0].volume = 1.0;
    }

    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        state.pitchBend[ch] = 1.0;
        state.modWheel[ch] = 0.0;
        state.program[ch] = 0;
        state.mainVolume[ch] = 0.787;
        state.panorama[ch] = 0.5;
        applyProgram(state, ch, nullptr);
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
