#include "FakeVoicePool.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Taviro::Test {

FakeVoicePool& fakeVoicePool()
{
    static FakeVoicePool pool;
    return pool;
}

void resetFakeVoicePool()
{
    fakeVoicePool() = FakeVoicePool();
}

namespace {

class FakeVoiceProcessor : public VoiceProcessor
{
public:
    FakeVoiceProcessor() { ++fakeVoicePool().created; }
    ~FakeVoiceProcessor() override { ++fakeVoicePool().destroyed; }

    tresult process(ProcessData& data) override
    {
        FakeVoicePool& pool = fakeVoicePool();
        ++pool.blocks;
        activeVoices = pool.activeVoices;
        if (pool.onBlock)
            pool.onBlock(data);
        return pool.answer;
    }
};

} // namespace
} // namespace Taviro::Test

namespace Steinberg::Vst {

VoiceProcessor* createVoiceProcessor(int32 symbolicSampleSize, float sampleRate,
                                     TaviroPlugIn::GlobalParameterState* state, TaviroPlugIn::SampleBank*)
{
    if (symbolicSampleSize != kSample32 && symbolicSampleSize != kSample64)
        return nullptr;
    Taviro::Test::FakeVoicePool& pool = Taviro::Test::fakeVoicePool();
    pool.sampleSize = symbolicSampleSize;
    pool.sampleRate = sampleRate;
    pool.state = state;
    auto* processor = new Taviro::Test::FakeVoiceProcessor();
    processor->activeVoices = pool.activeVoices;
    return processor;
}

} // namespace Steinberg::Vst

namespace Steinberg::Vst::TaviroPlugIn {

void loadSampleBank(SampleBank& bank)
{
    ++Taviro::Test::fakeVoicePool().banksLoaded;
    for (int32 i = 0; i < kNumMultiSampleSets; ++i)
        bank.push_back(std::make_unique<MultiSampleSet>());
}

void releaseSampleBank(SampleBank& bank)
{
    if (!bank.empty())
        ++Taviro::Test::fakeVoicePool().banksReleased;
    bank.clear();
}

} // namespace Steinberg::Vst::TaviroPlugIn
