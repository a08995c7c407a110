#pragma once

#include "DenormalGuard.h"
#include "OutputBuses.h"
#include "VoiceProcessor.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <array>
#include <cmath>
#include <cstring>

namespace Steinberg::Vst {

// The pool: a fixed array of voices that the 16 channels share. A note-on takes the lowest free
// voice (no stealing); events are dispatched before any voice renders, and each voice keeps its
// own countdowns to the events' sample positions.
template <typename SampleType, class VoiceClass, int32 numChannels, int32 numVoices, class ParameterState>
class VoiceProcessorImplementation : public VoiceProcessor
{
public:
    static constexpr int32 kNumBuses = TaviroPlugIn::kNumChannels;

    VoiceProcessorImplementation(float sampleRate, ParameterState* state, TaviroPlugIn::SampleBank* bank)
    {
        activeVoices = 0;
        for (VoiceClass& voice : voices)
        {
            voice.setRenderContext(&context);
            voice.setGlobalParameterState(state);
            voice.setSampleRate(static_cast<double>(sampleRate));
            voice.reset();
            voice.setSampleBank(bank);
        }
    }

    tresult process(ProcessData& data) override
    {
        TaviroPlugIn::DenormalGuard denormalGuard;
        const int32 numSamples = data.numSamples > 0 ? data.numSamples : 0;
        clearOutputs(data, numSamples);
        if (data.inputEvents != nullptr)
            dispatchEvents(*data.inputEvents);

        uint32 busesPlayed = 0;
        // An idle block costs no more than clearing the buses: the voices are not even looked at.
        for (int32 v = 0; v < numVoices && activeVoices > 0; ++v)
        {
            VoiceClass& voice = voices[v];
            if (voice.noteId == -1)
                continue;
            busesPlayed |= 1u << voice.channel;
            if (!voice.process(data, numSamples))
            {
                voice.reset();
                --activeVoices;
            }
        }
        silenceNonFinite(data, numSamples, busesPlayed);
        return kResultOk;
    }

    VoiceClass* findFreeVoice()
    {
        for (VoiceClass& voice : voices)
            if (voice.noteId == -1)
                return &voice;
        return nullptr;
    }

    std::array<VoiceClass, numVoices> voices;

private:
    static bool isChannel(int32 channel) { return channel >= 0 && channel < kNumBuses; }
    static bool isPlayableNote(int32 channel, int32 pitch)
    {
        return isChannel(channel) && pitch >= 0 && pitch <= 127;
    }

    static void clearOutputs(ProcessData& data, int32 numSamples)
    {
        for (int32 bus = 0; bus < kNumBuses; ++bus)
            for (int32 channel = 0; channel < numChannels; ++channel)
                if (SampleType* buffer = TaviroPlugIn::outputChannel<SampleType>(data, bus, channel))
                    std::memset(buffer, 0, sizeof(SampleType) * static_cast<size_t>(numSamples));
    }

    // A last line of defence: whatever went wrong in a voice, the host never receives a non-number.
    static void silenceNonFinite(ProcessData& data, int32 numSamples, uint32 busesPlayed)
    {
        for (int32 bus = 0; bus < kNumBuses; ++bus)
        {
            if ((busesPlayed & (1u << bus)) == 0)
                continue;
            for (int32 channel = 0; channel < numChannels; ++channel)
                if (SampleType* buffer = TaviroPlugIn::outputChannel<SampleType>(data, bus, channel))
                    for (int32 i = 0; i < numSamples; ++i)
                        if (!std::isfinite(buffer[i]))
                            buffer[i] = SampleType(0);
        }
    }

    void dispatchEvents(IEventList& events)
    {
        const int32 count = events.getEventCount();
        for (int32 index = 0; index < count; ++index)
        {
            Event event{};
            if (events.getEvent(index, event) != kResultOk)
                continue;
            switch (event.type)
            {
            case Event::kNoteOnEvent: noteOn(event); break;
            case Event::kNoteOffEvent: noteOff(event); break;
            case Event::kNoteExpressionValueEvent: noteExpression(event.noteExpressionValue); break;
            default: break;
            }
        }
    }

    void noteOn(const Event& event)
    {
        const NoteOnEvent& note = event.noteOn;
        if (!isPlayableNote(note.channel, note.pitch))
            return;
        VoiceClass* voice = findFreeVoice();
        if (voice == nullptr)
            return;
        const int32 id = note.noteId == -1 ? note.pitch : note.noteId;
        voice->noteOn(note.pitch, static_cast<ParamValue>(note.velocity), event.sampleOffset, id, note.channel);
        ++activeVoices;
    }

    void noteOff(const Event& event)
    {
        const NoteOffEvent& note = event.noteOff;
        // A note ID names the note whatever pitch comes with it; only without one is the pitch used.
        if (note.noteId == -1 ? !isPlayableNote(note.channel, note.pitch) : !isChannel(note.channel))
            return;
        const int32 id = note.noteId == -1 ? note.pitch : note.noteId;
        for (VoiceClass& voice : voices)
        {
            if (voice.noteId == id && voice.channel == note.channel && voice.noteOffSampleOffset < 0)
            {
                voice.noteOff(static_cast<ParamValue>(note.velocity), event.sampleOffset);
                return;
            }
        }
    }

    void noteExpression(const NoteExpressionValueEvent& expression)
    {
        if (expression.noteId == -1)
            return;
        const int32 channel = expressionChannel(expression.typeId);
        if (channel < 0)
            return;
        for (VoiceClass& voice : voices)
        {
            if (voice.noteId == expression.noteId && voice.channel == channel && voice.noteOffSampleOffset < 0)
            {
                voice.setNoteExpressionValue(static_cast<int32>(expression.typeId), expression.value);
                return;
            }
        }
    }

    // Pan types 100000..100015 and volume types 100016..100031 name MIDI channels 1 to 16.
    static int32 expressionChannel(NoteExpressionTypeID typeId)
    {
        if (typeId >= 100000 && typeId < 100016)
            return static_cast<int32>(typeId - 100000);
        if (typeId >= 100016 && typeId < 100032)
            return static_cast<int32>(typeId - 100016);
        return -1;
    }

    typename VoiceClass::RenderContext context{};
};

} // namespace Steinberg::Vst
