#pragma once

#include "source/engine/VoiceProcessor.h"

#include <functional>

namespace Taviro::Test {

// Stands in for the voice engine and the sample bank in unit tests of the processor: records
// what the processor asks of them and lets a test decide what the pool answers.
struct FakeVoicePool
{
    int created = 0;
    int destroyed = 0;
    int blocks = 0;
    int banksLoaded = 0;
    int banksReleased = 0;
    Steinberg::int32 sampleSize = -1;
    float sampleRate = 0.f;
    const Steinberg::Vst::TaviroPlugIn::GlobalParameterState* state = nullptr;

    // What the pool reports and answers.
    Steinberg::int32 activeVoices = 0;
    Steinberg::tresult answer = Steinberg::kResultOk;
    // Runs inside every process call of the pool.
    std::function<void(Steinberg::Vst::ProcessData&)> onBlock;
};

// The one fake of the test program; reset by each test.
FakeVoicePool& fakeVoicePool();
void resetFakeVoicePool();

} // namespace Taviro::Test
