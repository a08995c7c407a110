#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/module.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/plugprovider.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <memory>
#include <string>
#include <vector>

namespace Steinberg::Vst {
class HostApplication;
}

namespace Taviro::Test {

// The built bundle, loaded once for the whole test program as a host loads it.
VST3::Hosting::Module& loadedBundle();

// Class 1's identifier in the byte order the SDK uses on Linux: the four words big-endian.
std::vector<unsigned char> bigEndianBytes(std::initializer_list<Steinberg::uint32> words);
inline const std::vector<unsigned char> kProcessorClassBytes =
    bigEndianBytes({0x41555D9B, 0x55554376, 0x4441021F, 0x773372C3});
inline const std::vector<unsigned char> kControllerWithUIClassBytes =
    bigEndianBytes({0x55A30213, 0xE2381185, 0x11C35E3E, 0x333054F5});

// One processor from the bundle's factory, set up as a DAW sets it up: created through the host
// library's provider with a host context, process set-up, activated, processing. Blocks run
// through `run` with the events and parameter changes that the test put into `events` and
// `inputChanges`; `outputChanges` receives the processor's reports. Both lists are emptied
// before the next block.
class HostedPlugIn
{
public:
    HostedPlugIn();
    ~HostedPlugIn();

    Steinberg::Vst::IComponent& component() { return *provider->getComponent(); }
    Steinberg::Vst::IAudioProcessor& processor() { return *provider->getProcessor(); }

    // Process set-up and activation with 16 stereo outputs; false when the processor refuses.
    bool start(Steinberg::int32 sampleSize, double sampleRate = 48000.0, Steinberg::int32 blockSize = 256);
    // Deactivation, as a host does it before it changes the set-up.
    void stop();

    // One block of `numSamples` (the prepared block size when 0); clears the event and
    // parameter lists afterwards.
    Steinberg::tresult run(Steinberg::int32 numSamples = 0);

    // The state stream getState writes; empty when getState fails.
    std::vector<unsigned char> state();
    Steinberg::tresult restore(const std::vector<unsigned char>& bytes);

    // A sample of the last block, in either precision.
    double outputSample(Steinberg::int32 bus, Steinberg::int32 channel, Steinberg::int32 index);
    // Every output sample set to `value`, so that a test sees what the processor wrote.
    void fillOutputs(double value);

    Steinberg::Vst::HostProcessData data;
    Steinberg::Vst::EventList events{512};
    Steinberg::Vst::ParameterChanges inputChanges{64, 8};
    Steinberg::Vst::ParameterChanges outputChanges{64, 8};

private:
    // The SDK's host application is not reference counted: it is the host's own object.
    std::unique_ptr<Steinberg::Vst::HostApplication> hostApplication;
    std::unique_ptr<Steinberg::Vst::PlugProvider> provider;
    bool active = false;
};

// The single point of the reported queue for `id`, or false when the block has none.
bool reportedValue(Steinberg::Vst::ParameterChanges& changes, Steinberg::Vst::ParamID id,
                   Steinberg::Vst::ParamValue& value);

// Little-endian reads from a state stream image.
double doubleAt(const std::vector<unsigned char>& bytes, size_t offset);
void putDouble(std::vector<unsigned char>& bytes, size_t offset, double value);

} // namespace Taviro::Test
