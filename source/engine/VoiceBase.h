#pragma once

#include "pluginterfaces/vst/vsttypes.h"
#include "source/samples/SampleBank.h"

namespace Steinberg::Vst {

// Identity and timing of one voice of the pool: which note it plays and the countdowns to the
// note's start and note-off within the coming blocks.
template <int32 numNoteExpressionValues, typename SampleType, int32 numChannels, class ParameterState>
class VoiceBase
{
public:
    virtual ~VoiceBase() = default;

    virtual void setGlobalParameterState(ParameterState* state) { globalParameters = state; }
    virtual void setSampleBank(TaviroPlugIn::SampleBank* bank) { sampleBank = bank; }
    virtual void setSampleRate(double rate) { sampleRate = rate; }

    virtual void setNoteExpressionValue(int32 index, ParamValue value)
    {
        if (index >= 0 && index < numNoteExpressionValues)
            noteExpressionValues[index] = value;
    }

    virtual void noteOn(int32 notePitch, ParamValue velocity, int32 sampleOffset, int32 id, int32 /*channel*/)
    {
        pitch = notePitch;
        noteOnVelocity = velocity;
        noteOnSampleOffset = sampleOffset;
        noteId = id;
    }

    virtual void noteOff(ParamValue velocity, int32 sampleOffset)
    {
        noteOffVelocity = velocity;
        noteOffSampleOffset = sampleOffset;
    }

    virtual void reset()
    {
        noteOnSampleOffset = -1;
        noteOffSampleOffset = -1;
        noteId = -1;
    }

    ParameterState* globalParameters = nullptr;
    TaviroPlugIn::SampleBank* sampleBank = nullptr;
    int32 noteId = -1; // -1: the voice is free
    int32 pitch = -1;
    int32 noteOnSampleOffset = 0;
    int32 noteOffSampleOffset = 0; // negative until a note-off has been received
    double sampleRate = 44100.0;
    ParamValue noteOnVelocity = 0.0;
    ParamValue noteOffVelocity = 0.0;
    ParamValue noteExpressionValues[numNoteExpressionValues] = {};
};

} // namespace Steinberg::Vst
