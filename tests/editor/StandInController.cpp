#include "StandInController.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "pluginterfaces/base/ustring.h"
#include "source/ParameterIds.h"
#include "source/common/LogScale.h"

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

class FrequencyParameter : public Parameter
{
public:
    FrequencyParameter(ParamID id) : Parameter(u"Filter Frequency", id, nullptr, 0, 0, ParameterInfo::kCanAutomate)
    {
        setPrecision(1);
    }
    void toString(ParamValue v, String128 out) const override
    {
        char text[64];
        std::snprintf(text, sizeof text, "%.1f", filterFrequencyScale.scale(v));
        UString(out, 128).fromAscii(text);
    }
    bool fromString(const TChar* in, ParamValue& v) const override
    {
        char text[128];
        UString(const_cast<TChar*>(in), 128).toAscii(text, 128);
        char* end = nullptr;
        const double hz = std::strtod(text, &end);
        if (end == text)
            return false;
        v = filterFrequencyScale.invscale(hz);
        return true;
    }
};

void addList(ParameterContainer& c, ParamID id, std::initializer_list<const char16*> entries, int32 flags = 9)
{
    auto* p = new StringListParameter(u"list", id, nullptr, flags);
    for (const auto* e : entries)
        p->appendString(e);
    c.addParameter(p);
}

void addRange(ParameterContainer& c, ParamID id, double lo, double hi, double def, int32 precision)
{
    auto* p = new RangeParameter(u"range", id, nullptr, lo, hi, def);
    p->setPrecision(precision);
    c.addParameter(p);
}

class StandIn : public EditController
{
public:
    tresult PLUGIN_API initialize(FUnknown* context) override
    {
        if (EditController::initialize(context) != kResultOk)
            return kResultFalse;
        for (int32 ch = 0; ch < 16; ++ch)
        {
            const auto id = [ch](int32 offset) { return channelParameterId(ch, offset); };
            for (int32 o = 0; o < 3; ++o)
            {
                const auto osc = [&](int32 field) { return id(oscillatorParameterOffset(o, field)); };
                addList(parameters, osc(kOscType), {u"Off", u"Sinus", u"Triangle (aliased)", u"Square (aliased)",
                                               u"Saw (aliased)", u"White noise", u"Multi Sample"});
                addList(parameters, osc(kOscMultiSample),
                        {u"Off", u"E-Guitar clean", u"Piano", u"Drum Set", u"Saw anti-aliased",
                         u"Triangle anti-aliased", u"Square anti-aliased", u"Muted E-Guitar"});
                addRange(parameters, osc(kOscVolume), 0, 100, o == 1 ? 20 : 80, 1);
                addRange(parameters, osc(kOscDetune), -200, 200, 0, 0);
                addRange(parameters, osc(kOscRetardTime), 0, 5, 0, 3);
                addList(parameters, osc(kOscFilterType), {u"Off", u"Lowpass", u"Highpass", u"Bandpass"});
                parameters.addParameter(new FrequencyParameter(osc(kOscFilterFrequency)));
                parameters.addParameter(u"Filter Resonance", nullptr, 0, 0, 1, osc(kOscFilterQ))->setPrecision(2);
                addList(parameters, osc(kOscOctave), {u"8", u"7", u"6", u"5", u"4", u"3", u"2", u"1", u"0", u"-1",
                                                 u"-2", u"-3", u"-4", u"-5", u"-6", u"-7", u"-8"});
                addRange(parameters, osc(kOscAttackTime), 0.005, 5, 0.025, 3);
                addRange(parameters, osc(kOscDecayTime), 0, 5, 0, 3);
                addRange(parameters, osc(kOscSustainLevel), 0, 100, 30, 1);
                addRange(parameters, osc(kOscSustainTime), 0, 5, 0, 3);
                addRange(parameters, osc(kOscReleaseTime), 0.005, 5, 0.025, 3);
            }
            addRange(parameters, id(kMasterVolume), 0, 300, 240, 1);
            parameters.addParameter(u"Receive Note off", nullptr, 1, 1, 1, id(kReceiveNoteOff));
            if (ch == 9)
                addList(parameters, id(kProgramChange), {u"Drums"}, 0x8009);
            else
                addList(parameters, id(kProgramChange),
                        {u"Piano Cologne", u"E-Guitar clean surf green", u"Le Mont-Saint-Michel",
                         u"European Disco SAW", u"Chinese pipa", u"Synth Bass", u"Synth Clarinet",
                         u"Synth Strings", u"Seashore", u"Synth Trumpet", u"Synth Accordion", u"Warm Pad",
                         u"Flute", u"Pizzicato", u"Muted E-Guitar", u"USER 1", u"USER 2", u"USER 3", u"USER 4"},
                        0x8009);
        }
        auto* selector = new StringListParameter(u"Editor MIDI channel", kEditorChannelSelectorId, nullptr, 8);
        for (int n = 1; n <= 16; ++n)
        {
            char16 name[32];
            UString(name, 32).printInt(n);
            std::u16string entry = u"MIDI channel " + std::u16string(name);
            selector->appendString(entry.c_str());
        }
        parameters.addParameter(selector);
        return kResultOk;
    }
};

} // namespace

EditController* createStandInController() { return new StandIn; }

} // namespace Taviro::Test
