#pragma once

#include "tests/support/ByteStream.h"
#include "tests/support/ClassIdBytes.h"

#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/module.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/plugprovider.h"
#include "public.sdk/source/vst/hosting/processdata.h"

namespace Taviro::Test {

// The built bundle, loaded once for the whole test program as a host loads it.
VST3::Hosting::Module& loadedBundle();

// A processor from the bundle's factory, made with a host context as a DAW makes it. `start` sets up
// 16 stereo outputs and activates it (false if refused); `run` feeds one block (`numSamples`, or the
// prepared size) with `events` and `inputChanges`, then empties them; reports go to `outputChanges`.
class HostedPlugIn
{
public:
    HostedPlugIn();
    ~HostedPlugIn() { stop(); }

    Steinberg::Vst::IComponent& component() { return *provider->getComponent(); }
    Steinberg::Vst::IAudioProcessor& processor() { return *provider->getProcessor(); }
    Steinberg::Vst::IEditController* controller() { return provider->getController(); }

    bool start(Steinberg::int32 sampleSize, double sampleRate = 48000.0, Steinberg::int32 blockSize = 256);
    void stop();
    Steinberg::tresult run(Steinberg::int32 numSamples = 0);

    // The stream getState writes; empty when getState fails.
    std::vector<unsigned char> state()
    {
        ByteStream stream;
        const bool written = component().getState(&stream) == Steinberg::kResultOk;
        return written ? stream.data() : std::vector<unsigned char>{};
    }
    Steinberg::tresult restore(const std::vector<unsigned char>& bytes)
    {
        ByteStream stream(bytes);
        return component().setState(&stream);
    }
    // A sample of the last block, in either precision.
    double outputSample(Steinberg::int32 bus, Steinberg::int32 channel, Steinberg::int32 index)
    {
        if (data.symbolicSampleSize == Steinberg::Vst::kSample64)
            return data.outputChannel64(bus, channel)[index];
        return data.outputChannel32(bus, channel)[index];
    }

    Steinberg::Vst::HostProcessData data;
    Steinberg::Vst::EventList events{512};
    Steinberg::Vst::ParameterChanges inputChanges{64, 8};
    Steinberg::Vst::ParameterChanges outputChanges{64, 8};

private:
    Steinberg::Vst::HostApplication hostApplication; // the host's own object, not reference counted
    std::unique_ptr<Steinberg::Vst::PlugProvider> provider;
    bool active = false;
};

// The single point, at offset 0, of the reported queue for `id`; false when there is none.
bool reportedValue(Steinberg::Vst::ParameterChanges& changes, Steinberg::Vst::ParamID id,
                   Steinberg::Vst::ParamValue& value);

} // namespace Taviro::Test
