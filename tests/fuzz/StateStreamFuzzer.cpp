// The processor's state stream: the input's first 5244 bytes (or fewer) are a stored state, what
// follows is a short script of notes, parameter changes and note expressions spread over four
// blocks. Each input runs on a fresh processor in 32 and in 64 bit; every output sample must be
// finite and every value reported to the host a normalised value.
#include "FuzzCheck.h"
#include "source/ParameterIds.h"
#include "source/processor/Processor.h"
#include "source/samples/ResourceStoreLinux.h"
#include "tests/support/ByteStream.h"

#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Fuzz::isNormalized;
using Taviro::Fuzz::require;

namespace {

constexpr int32 kBlockSize = 64;
constexpr int32 kBlocks = 4;
constexpr size_t kStateSize = 5244;
constexpr size_t kActionSize = 3;
constexpr NoteExpressionTypeID kFirstPanExpression = 100000;
constexpr NoteExpressionTypeID kFirstVolumeExpression = 100016;

// A parameter value from one byte: steps of 1/249 across 0..1, then the values a careless host
// might send.
ParamValue valueOf(uint8_t code)
{
    switch (code)
    {
    case 250:
        return -0.5;
    case 251:
        return 1.5;
    case 252:
        return std::numeric_limits<double>::quiet_NaN();
    case 253:
        return std::numeric_limits<double>::infinity();
    case 254:
        return -std::numeric_limits<double>::infinity();
    case 255:
        return 1.0;
    default:
        return std::min(code, uint8_t(249)) / 249.0;
    }
}

struct Block
{
    EventList events{512};
    ParameterChanges changes{kNumParameters, 4};
};

// One action: kind (bits 0-1), block (bits 2-3) and channel (bits 4-7), then two argument bytes.
void addAction(const uint8_t* action, Block (&blocks)[kBlocks])
{
    const int kind = action[0] & 3;
    Block& block = blocks[(action[0] >> 2) & 3];
    const int16 channel = action[0] >> 4;
    const uint8_t a = action[1], b = action[2];
    Event e{};
    e.busIndex = 0;
    e.sampleOffset = b % kBlockSize;
    switch (kind)
    {
    case 0:
        e.type = Event::kNoteOnEvent;
        e.noteOn = {channel, int16(a), 0.f, b / 255.f, 0, int32(a)};
        block.events.addEvent(e);
        break;
    case 1:
        e.type = Event::kNoteOffEvent;
        e.noteOff = {channel, int16(a), b / 255.f, b & 1 ? -1 : int32(a), 0.f};
        block.events.addEvent(e);
        break;
    case 2:
    {
        int32 index = 0;
        const ParamID id = a < 245 ? channelParameterId(channel, a % kParametersPerChannel)
                                   : (a & 1 ? kActiveVoicesId : kEditorChannelSelectorId);
        if (IParamValueQueue* queue = block.changes.addParameterData(id, index))
            queue->addPoint(e.sampleOffset, valueOf(b), index);
        break;
    }
    default:
        e.type = Event::kNoteExpressionValueEvent;
        e.noteExpressionValue.typeId = (a & 1 ? kFirstVolumeExpression : kFirstPanExpression) + channel;
        e.noteExpressionValue.noteId = a >> 1;
        e.noteExpressionValue.value = valueOf(b);
        block.events.addEvent(e);
        break;
    }
}

// Every channel plays a note from the first block on, so that whatever the state holds sounds.
void addChord(Block& block)
{
    for (int16 channel = 0; channel < 16; ++channel)
    {
        Event e{};
        e.type = Event::kNoteOnEvent;
        e.noteOn = {channel, int16(channel == 9 ? 36 : 48 + channel), 0.f, 0.8f, 0, 1000 + channel};
        block.events.addEvent(e);
    }
}

void checkOutputs(HostProcessData& data, int32 sampleSize)
{
    for (int32 bus = 0; bus < data.numOutputs; ++bus)
        for (int32 c = 0; c < 2; ++c)
            for (int32 k = 0; k < kBlockSize; ++k)
            {
                const double sample = sampleSize == kSample64 ? data.outputChannel64(bus, c)[k]
                                                              : data.outputChannel32(bus, c)[k];
                require(std::isfinite(sample), "every output sample is finite");
            }
}

void checkReports(ParameterChanges& reports)
{
    for (int32 i = 0; i < reports.getParameterCount(); ++i)
    {
        IParamValueQueue* queue = reports.getParameterData(i);
        for (int32 p = 0; queue && p < queue->getPointCount(); ++p)
        {
            int32 offset = 0;
            ParamValue value = 0;
            require(queue->getPoint(p, offset, value) == kResultOk, "a reported point can be read");
            if (!isNormalized(value))
                std::fprintf(stderr, "parameter %u reported as %g\n", queue->getParameterId(), value);
            require(isNormalized(value), "every reported value lies within 0..1");
        }
    }
}

void run(const uint8_t* data, size_t size, int32 sampleSize)
{
    HostApplication host;
    IPtr<Processor> processor = owned(new Processor);
    require(processor->initialize(&host) == kResultOk, "the processor initialises");
    const std::vector<unsigned char> state(data, data + std::min(size, kStateSize));
    // In 32 bit the state arrives before activation, in 64 bit while the processor plays.
    const bool restoreWhileActive = sampleSize == kSample64;
    auto restore = [&] {
        Taviro::Test::ByteStream stream(state);
        processor->setState(&stream);
    };
    if (!restoreWhileActive)
        restore();

    ProcessSetup setup{kRealtime, sampleSize, kBlockSize, 48000.0};
    HostProcessData buffers;
    require(processor->setupProcessing(setup) == kResultOk &&
                buffers.prepare(*processor, kBlockSize, sampleSize) &&
                processor->setActive(true) == kResultOk,
            "the processor activates");
    processor->setProcessing(true);
    if (restoreWhileActive)
        restore();

    Block blocks[kBlocks];
    addChord(blocks[0]);
    for (size_t at = kStateSize; at + kActionSize <= size; at += kActionSize)
        addAction(data + at, blocks);

    ParameterChanges reports{kNumParameters, 4};
    for (Block& block : blocks)
    {
        buffers.numSamples = kBlockSize;
        buffers.inputEvents = &block.events;
        buffers.inputParameterChanges = &block.changes;
        buffers.outputParameterChanges = &reports;
        reports.clear();
        require(processor->process(buffers) == kResultOk, "process answers kResultOk");
        checkOutputs(buffers, sampleSize);
        checkReports(reports);
    }

    Taviro::Test::ByteStream written;
    require(processor->getState(&written) == kResultOk && written.data().size() == kStateSize,
            "getState writes a whole state");
    processor->setProcessing(false);
    processor->setActive(false);
    processor->terminate();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setResourceFolder(TAVIRO_RESOURCES_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    run(data, size, kSample32);
    run(data, size, kSample64);
    return 0;
}
