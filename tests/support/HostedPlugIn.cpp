#include "tests/support/HostedPlugIn.h"

#include "tests/support/ByteStream.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Taviro::Test {

VST3::Hosting::Module& loadedBundle()
{
    static VST3::Hosting::Module::Ptr module = [] {
        std::string error;
        auto loaded = VST3::Hosting::Module::create(TAVIRO_BUNDLE_DIR, error);
        if (!loaded)
            std::fprintf(stderr, "cannot load the bundle: %s\n", error.c_str());
        return loaded;
    }();
    if (!module)
        std::abort();
    return *module;
}

std::vector<unsigned char> bigEndianBytes(std::initializer_list<uint32> words)
{
    std::vector<unsigned char> bytes;
    for (uint32 word : words)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<unsigned char>(word >> shift));
    return bytes;
}

HostedPlugIn::HostedPlugIn() : hostApplication(std::make_unique<HostApplication>())
{
    std::string error;
    const auto* classId = reinterpret_cast<const char*>(kProcessorClassBytes.data());
    provider = PlugProvider::create(loadedBundle().getFactory(), classId, hostApplication.get(), error);
    if (!provider)
    {
        std::fprintf(stderr, "cannot set up the processor: %s\n", error.c_str());
        std::abort();
    }
}

HostedPlugIn::~HostedPlugIn()
{
    stop();
    provider.reset();
}

bool HostedPlugIn::start(int32 sampleSize, double sampleRate, int32 blockSize)
{
    ProcessSetup setup{kRealtime, sampleSize, blockSize, sampleRate};
    if (processor().setupProcessing(setup) != kResultOk)
        return false;
    if (!data.prepare(component(), blockSize, sampleSize))
        return false;
    if (component().setActive(true) != kResultOk)
        return false;
    processor().setProcessing(true);
    active = true;
    return true;
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

std::vector<unsigned char> HostedPlugIn::state()
{
    ByteStream stream;
    if (component().getState(&stream) != kResultOk)
        return {};
    return stream.data();
}

tresult HostedPlugIn::restore(const std::vector<unsigned char>& bytes)
{
    ByteStream stream(bytes);
    return component().setState(&stream);
}

double HostedPlugIn::outputSample(int32 bus, int32 channel, int32 index)
{
    if (data.symbolicSampleSize == kSample64)
        return data.outputChannel64(bus, channel)[index];
    return data.outputChannel32(bus, channel)[index];
}

void HostedPlugIn::fillOutputs(double value)
{
    for (int32 bus = 0; bus < data.numOutputs; ++bus)
    {
        for (int32 c = 0; c < data.outputs[bus].numChannels; ++c)
        {
            if (data.symbolicSampleSize == kSample64)
                std::fill_n(data.outputChannel64(bus, c), data.maxSamples(), value);
            else
                std::fill_n(data.outputChannel32(bus, c), data.maxSamples(), static_cast<float>(value));
        }
    }
}

bool reportedValue(ParameterChanges& changes, ParamID id, ParamValue& value)
{
    IParamValueQueue* queue = changes.findQueue(id);
    int32 offset = -1;
    if (!queue || queue->getPointCount() != 1 || queue->getPoint(0, offset, value) != kResultOk)
        return false;
    return offset == 0;
}

double doubleAt(const std::vector<unsigned char>& bytes, size_t offset)
{
    uint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes.at(offset + static_cast<size_t>(i));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void putDouble(std::vector<unsigned char>& bytes, size_t offset, double value)
{
    uint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (size_t i = 0; i < 8; ++i)
        bytes.at(offset + i) = static_cast<unsigned char>(bits >> (8 * i));
}

} // namespace Taviro::Test
