#include "ChannelParameters.h"

#include "ControllerIds.h"
#include "LogScaleParameter.h"
#include "ParameterLists.h"
#include "ParsedParameters.h"
#include "Utf16.h"
#include "source/ParameterIds.h"

#include <string>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// The order hosts list a channel's parameters in (the program change is registered with its
// program list, before all channels).
constexpr int32 kRegistrationOrder[] = {
    42, 9, 10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40, 41, 2,  16, 30, 3,  17, 31, 4,  18,
    32, 5, 19, 33, 0,  14, 28, 6,  7,  20, 21, 34, 35, 8,  22, 36, 43, 44, 47, 48, 45, 1,  15, 29,
};
static_assert(std::size(kRegistrationOrder) == kParametersPerChannel - 1);

constexpr int32 kAutomatableList = ParameterInfo::kCanAutomate | ParameterInfo::kIsList;

struct RangeShape
{
    const char* units;
    double minimum;
    double maximum;
    double defaultValue;
    int32 precision;
};

class ChannelParameterBuilder
{
public:
    ChannelParameterBuilder(ParameterContainer& parameters, int32 channel)
    : parameters(parameters)
    , channel(channel)
    , unit(channelUnitId(channel))
    {
    }

    void add(int32 offset)
    {
        if (offset < kMasterVolume)
            addOscillatorField(offset / kParametersPerOscillator, offset % kParametersPerOscillator);
        else
            addChannelSetting(offset);
    }

private:
    void addOscillatorField(int32 oscillator, int32 field)
    {
        const std::string n = std::to_string(oscillator + 1);
        const ParamID id = channelParameterId(channel, oscillatorParameterOffset(oscillator, field));
        switch (field)
        {
        case kOscType:
            return addList("OSC " + n + " Type", id, kOscillatorTypeNames);
        case kOscMultiSample:
            return addList("OSC " + n + " Multi Sample", id, kMultiSampleNames);
        case kOscVolume:
            return addRange("OSC " + n + " Volume", id, {"%", 0, 100, oscillator == 1 ? 20.0 : 80.0, 1});
        case kOscDetune:
            return addRange("OSC " + n + " Detune", id, {"cent", -200, 200, 0, 0});
        case kOscRetardTime:
            return addRange("OSC " + n + " Retard Time", id, {"sec", 0, 5, 0, 3});
        case kOscFilterType:
            return addList("Filter Type OSC " + n, id, kFilterTypeNames);
        case kOscFilterFrequency:
        {
            auto* p = new LogScaleParameter(utf16("Filter Frequency OSC " + n).c_str(), id,
                                            filterFrequencyScale, unit);
            p->setPrecision(1);
            parameters.addParameter(p);
            return;
        }
        case kOscFilterQ:
            addPlain("Filter Resonance OSC " + n, id, nullptr, 0, 0.0)->setPrecision(2);
            return;
        case kOscOctave:
            return addList("OSC " + n + " Octave", id, kOctaveNames);
        case kOscAttackTime:
            return addRange("Attack Time OSC " + n, id, {"sec", 0.005, 5, 0.025, 3});
        case kOscDecayTime:
            return addRange("Decay Time OSC " + n, id, {"sec", 0, 5, 0, 3});
        case kOscSustainLevel:
            return addRange("Sustain Level OSC " + n, id, {"%", 0, 100, 30, 1});
        case kOscSustainTime:
            return addRange("Sustain Time OSC " + n, id, {"sec", 0, 5, 0, 3});
        case kOscReleaseTime:
            return addRange("Release Time OSC " + n, id, {"sec", 0.005, 5, 0.025, 3});
        }
    }

    void addChannelSetting(int32 offset)
    {
        const ParamID id = channelParameterId(channel, offset);
        switch (offset)
        {
        case kMasterVolume:
            return addRange("Volume", id, {"%", 0, 300, 240, 1});
        case kModWheel:
            addPlain("Mod Wheel", id, STR16(""), 0, 0.0);
            return;
        case kPitchBend:
            addPlain("Pitch Bend", id, STR16(""), 0, 0.5);
            return;
        case kReceiveNoteOff:
            addPlain("Receive Note off", id, nullptr, 1, 1.0);
            return;
        case kMainVolume:
            addPlain("Main volume", id, STR16(""), 0, 0.787);
            return;
        case kPanorama:
            addPlain("Panorama", id, STR16(""), 0, 0.5);
            return;
        }
    }

    void addRange(const std::string& title, ParamID id, const RangeShape& range)
    {
        auto* p = new ParsedRangeParameter(utf16(title).c_str(), id, utf16(range.units).c_str(), range.minimum,
                                           range.maximum, range.defaultValue, 0, ParameterInfo::kCanAutomate,
                                           unit);
        p->setPrecision(range.precision);
        parameters.addParameter(p);
    }

    template <size_t N>
    void addList(const std::string& title, ParamID id, const char* const (&entries)[N])
    {
        parameters.addParameter(makeStringList(utf16(title).c_str(), id, kAutomatableList, unit, entries));
    }

    Parameter* addPlain(const std::string& title, ParamID id, const TChar* units, int32 stepCount,
                        double defaultNormalized)
    {
        return parameters.addParameter(new ParsedParameter(utf16(title).c_str(), id, units, defaultNormalized,
                                                           stepCount, ParameterInfo::kCanAutomate, unit));
    }

    ParameterContainer& parameters;
    const int32 channel;
    const UnitID unit;
};

// The controllers a channel maps, each to the parameter that plays its part.
void assignMidiController(MidiControllerTable::value_type& row, int32 channel, int32 offset)
{
    switch (offset)
    {
    case kModWheel:
        row[ControllerNumbers::kCtrlModWheel] = channelParameterId(channel, offset);
        break;
    case kPitchBend:
        row[ControllerNumbers::kPitchBend] = channelParameterId(channel, offset);
        break;
    case kMainVolume:
        row[ControllerNumbers::kCtrlVolume] = channelParameterId(channel, offset);
        break;
    case kPanorama:
        row[ControllerNumbers::kCtrlPan] = channelParameterId(channel, offset);
        break;
    default:
        break;
    }
}

} // namespace

void addChannelParameters(ParameterContainer& parameters, int32 channel,
                          MidiControllerTable::value_type& midiControllers)
{
    ChannelParameterBuilder builder(parameters, channel);
    for (int32 offset : kRegistrationOrder)
    {
        assignMidiController(midiControllers, channel, offset);
        builder.add(offset);
    }
}

void addGlobalParameters(ParameterContainer& parameters)
{
    parameters.addParameter(new ParsedRangeParameter(STR16("Used Voices (of 128)"), kActiveVoicesId, nullptr, 0,
                                                     128, 0, 128, ParameterInfo::kIsReadOnly, kRootUnitId));
    // Only the editor uses the selector, so hosts must not automate it.
    parameters.addParameter(makeStringList(STR16("Editor MIDI Channel"), kEditorChannelSelectorId,
                                           ParameterInfo::kIsList, kRootUnitId, kMidiChannelNames));
}

} // namespace Steinberg::Vst::TaviroPlugIn
