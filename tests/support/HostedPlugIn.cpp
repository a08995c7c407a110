#include "tests/support/HostedPlugIn.h"

#include <stdexcept>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Taviro::Test {

VST3::Hosting::Module& loadedBundle()
{
    static std::string error;
    static VST3::Hosting::Module::Ptr module = VST3::Hosting::Module::create(TAVIRO_BUNDLE_DIR, error);
    if (!module)
        throw std::runtime_error("cannot load the bundle: " + error);
    return *module;
}

HostedPlugIn::HostedPlugIn()
{
    std::string error;
    const auto* classId = reinterpret_cast<const char*>(kProcessorClassBytes.data());
    provider = PlugProvider::create(loadedBundle().getFactory(), classId, &hostApplication, error);
    if (!provider)
        throw std::runtime_error("cannot set up the processor: " + error);
}

bool HostedPlugIn::start(int32 sampleSize, double sampleRate, int32 blockSize)
{
    ProcessSetup setup{kRealtime, sampleSize, blockSize, sampleRate};
    active = processor().setupProcessing(setup) == kResultOk &&
             data.prepare(component(), blockSize, sampleSize) && component().setActive(true) == kResultOk;
    if (active)
        processor().setProcessing(true);
    return active;
}

void HostedPlugIn::stop()
{
    if (!active)
        return;
    processor().setProcessing(false);
    component().setActive(false);
    active = false;
}

tresult HostedPlugIn::run(int32 numSamples)
{
    data.numSamples = numSamples > 0 ? numSamples : data.maxSamples();
    data.inputEvents = &events;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    outputChanges.clear();
    const tresult result = processor().process(data);
    events.clear();
    inputChanges.clear();
    return result;
}

bool reportedValue(ParameterChanges& changes, ParamID id, ParamValue& value)
{
    IParamValueQueue* queue = changes.findQueue(id);
    int32 offset = -1;
    return queue && queue->getPointCount() == 1 && queue->getPoint(0, offset, value) == kResultOk &&
           offset == 0;
}

} // namespace Taviro::Test
