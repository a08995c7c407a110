// The processor with a stand-in voice pool: activation, failure paths, the floating-point mode
// and the hand-over of restored states between threads.

#include "FakeVoicePool.h"
#include "source/ParameterIds.h"
#include "source/processor/Processor.h"
#include "tests/support/ByteStream.h"

#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::ByteStream;
using Taviro::Test::fakeVoicePool;

namespace {

class TestProcessor : public Processor
{
public:
    // Hosts cannot set an unsupported size through setupProcessing; a stored setup might still hold one.
    void forceSampleSize(int32 size) { processSetup.symbolicSampleSize = size; }
};

std::vector<unsigned char> streamOf(const GlobalParameterState& state)
{
    ByteStream stream;
    state.getState(&stream);
    return stream.data();
}

// A state that differs from the initial one in every persisted field.
GlobalParameterState patternedState(double base, int8 index)
{
    GlobalParameterState state{};
    setInitialContents(state);
    auto fill = [&](OscillatorSettings& osc, double offset) {
        osc.volume = osc.attackTime = osc.decayTime = osc.sustainLevel = base + offset;
        osc.sustainTime = osc.releaseTime = osc.retardTime = osc.detune = base + offset;
        osc.filterFrequency = osc.filterQ = base + offset;
        osc.type = osc.multiSample = osc.filterType = osc.octave = index;
    };
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        for (int32 o = 0; o < kNumOscillators; ++o)
            fill(state.oscillators[ch][o], 0.001 * (ch * 3 + o));
        state.masterVolume[ch] = base;
        state.receiveNoteOff[ch] = index;
        state.program[ch] = index;
    }
    for (auto& user : state.userPrograms)
    {
        for (auto& osc : user.oscillators)
            fill(osc, 0.5);
        user.masterVolume = base;
        user.receiveNoteOff = index;
    }
    return state;
}

class ProcessorUnitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Taviro::Test::resetFakeVoicePool();
        processor = owned(new TestProcessor());
        ASSERT_EQ(processor->initialize(nullptr), kResultOk);
        ASSERT_TRUE(data.prepare(kNumChannels, 2, 32, kSample32));
    }

    void TearDown() override
    {
        processor->setActive(false);
        processor->terminate();
    }

    tresult activate(int32 sampleSize = kSample32, double sampleRate = 48000.0)
    {
        ProcessSetup setup{kRealtime, sampleSize, 32, sampleRate};
        EXPECT_EQ(processor->setupProcessing(setup), kResultOk);
        return processor->setActive(true);
    }

    tresult block(IParameterChanges* in = nullptr, IParameterChanges* out = nullptr)
    {
        data.inputParameterChanges = in;
        data.outputParameterChanges = out;
        return processor->process(data);
    }

    std::vector<unsigned char> stateBytes()
    {
        ByteStream stream;
        EXPECT_EQ(processor->getState(&stream), kResultOk);
        return stream.data();
    }

    tresult restore(const std::vector<unsigned char>& bytes)
    {
        ByteStream stream(bytes);
        return processor->setState(&stream);
    }

    IPtr<TestProcessor> processor;
    HostProcessData data;
};

TEST_F(ProcessorUnitTest, ThePlainProcessorNamesThePlainController)
{
    // 0x28C45612 0x1316497F 0x7A88334F 0x17622354, words big-endian as the SDK lays them out here.
    const unsigned char expected[16] = {0x28, 0xC4, 0x56, 0x12, 0x13, 0x16, 0x49, 0x7F,
                                        0x7A, 0x88, 0x33, 0x4F, 0x17, 0x62, 0x23, 0x54};
    TUID cid{};
    ASSERT_EQ(processor->getControllerClassId(cid), kResultOk);
    EXPECT_EQ(std::memcmp(cid, expected, sizeof expected), 0);
}

TEST_F(ProcessorUnitTest, ActivationBuildsOnePoolOfTheSetUpPrecisionAndDeactivationFreesIt)
{
    ASSERT_EQ(activate(kSample64, 44100.0), kResultOk);
    ASSERT_EQ(processor->setActive(true), kResultOk);
    EXPECT_EQ(fakeVoicePool().created, 1);
    EXPECT_EQ(fakeVoicePool().banksLoaded, 1);
    EXPECT_EQ(fakeVoicePool().sampleSize, kSample64);
    EXPECT_EQ(fakeVoicePool().sampleRate, 44100.f);

    EXPECT_EQ(processor->setActive(false), kResultOk);
    EXPECT_EQ(fakeVoicePool().destroyed, 1);
    EXPECT_EQ(fakeVoicePool().banksReleased, 1);
    // A second deactivation only empties what is already empty.
    EXPECT_EQ(processor->setActive(false), kResultOk);
    EXPECT_EQ(fakeVoicePool().destroyed, 1);
    EXPECT_EQ(fakeVoicePool().banksReleased, 1);

    ASSERT_EQ(activate(kSample32), kResultOk);
    EXPECT_EQ(fakeVoicePool().created, 2);
    EXPECT_EQ(fakeVoicePool().sampleSize, kSample32);
}

TEST_F(ProcessorUnitTest, AnUnsupportedStoredSampleSizeRefusesActivationButKeepsTheBank)
{
    processor->forceSampleSize(2);
    EXPECT_EQ(processor->setActive(true), kInvalidArgument);
    EXPECT_EQ(fakeVoicePool().created, 0);
    EXPECT_EQ(fakeVoicePool().banksLoaded, 1);
    // The bank is not loaded twice on the next try.
    processor->forceSampleSize(kSample32);
    EXPECT_EQ(processor->setActive(true), kResultOk);
    EXPECT_EQ(fakeVoicePool().banksLoaded, 1);
}

TEST_F(ProcessorUnitTest, DestroyingAnActiveProcessorFreesPoolAndBank)
{
    ASSERT_EQ(activate(), kResultOk);
    processor = nullptr;
    EXPECT_EQ(fakeVoicePool().destroyed, 1);
    EXPECT_EQ(fakeVoicePool().banksReleased, 1);
    processor = owned(new TestProcessor()); // for TearDown
}

TEST_F(ProcessorUnitTest, APoolFailureIsAnsweredAndSuppressesBothReports)
{
    ASSERT_EQ(activate(), kResultOk);
    ParameterChanges in, out;
    in.addChange(channelParameterId(0, kProgramChange), 0.1); // queues 44 identifiers
    fakeVoicePool().answer = kInternalError;
    EXPECT_EQ(block(&in, &out), kInternalError);
    EXPECT_EQ(out.getParameterCount(), 0);

    // Nothing was lost: the next good block reports the voice count and the first pending identifier.
    fakeVoicePool().answer = kResultOk;
    in.clear();
    EXPECT_EQ(block(&in, &out), kResultOk);
    ASSERT_EQ(out.getParameterCount(), 2);
    EXPECT_EQ(out.getParameterData(1)->getParameterId(), 29u);
}

TEST_F(ProcessorUnitTest, ARestoreWhileActiveReachesTheVoicesOnlyAtTheNextBlock)
{
    ASSERT_EQ(activate(), kResultOk);
    const GlobalParameterState before = *fakeVoicePool().state;
    const GlobalParameterState restored = patternedState(0.25, 1);
    EXPECT_EQ(restore(streamOf(restored)), kResultOk);

    // The host sees the restored state at once, the voices not before the next block.
    EXPECT_EQ(stateBytes(), streamOf(restored));
    EXPECT_TRUE(*fakeVoicePool().state == before);
    bool sawRestored = false;
    fakeVoicePool().onBlock = [&](ProcessData&) { sawRestored = *fakeVoicePool().state == restored; };
    block();
    EXPECT_TRUE(sawRestored);
    EXPECT_EQ(stateBytes(), streamOf(restored));
}

TEST_F(ProcessorUnitTest, AShortRestoreWhileActiveKeepsThePartialReadSemantics)
{
    ASSERT_EQ(activate(), kResultOk);
    GlobalParameterState expected = *fakeVoicePool().state;
    // Version word only: the first field read (channel 1, OSC 1 volume) fails and becomes 0.0.
    EXPECT_EQ(restore({1, 0, 0, 0, 0, 0, 0, 0}), kResultFalse);
    expected.oscillators[0][0].volume = 0.0;
    EXPECT_EQ(stateBytes(), streamOf(expected));
    EXPECT_EQ(processor->setState(nullptr), kResultFalse);
    EXPECT_EQ(stateBytes(), streamOf(expected));
    block();
    EXPECT_TRUE(*fakeVoicePool().state == expected);
}

TEST_F(ProcessorUnitTest, TwoRestoresBeforeABlockReadTheSecondOnTopOfTheFirst)
{
    ASSERT_EQ(activate(), kResultOk);
    GlobalParameterState first = patternedState(0.25, 1);
    ASSERT_EQ(restore(streamOf(first)), kResultOk);
    // The second stream ends after channel 1's OSC 1 record and its OSC 2 volume; everything
    // after keeps the first restore's values.
    GlobalParameterState second = patternedState(0.75, 2);
    std::vector<unsigned char> shortStream = streamOf(second);
    shortStream.resize(8 + 84 + 8);
    EXPECT_EQ(restore(shortStream), kResultFalse);

    GlobalParameterState expected = first;
    expected.oscillators[0][0] = second.oscillators[0][0];
    expected.oscillators[0][1].volume = second.oscillators[0][1].volume;
    expected.oscillators[0][1].attackTime = 0.0; // the short field
    block();
    EXPECT_TRUE(*fakeVoicePool().state == expected);
    EXPECT_EQ(stateBytes(), streamOf(expected));
}

TEST_F(ProcessorUnitTest, ParameterChangesAfterARestoreAreWhatGetStateWrites)
{
    ASSERT_EQ(activate(), kResultOk);
    GlobalParameterState restored = patternedState(0.25, 1);
    ASSERT_EQ(restore(streamOf(restored)), kResultOk);
    ParameterChanges in;
    in.addChange(channelParameterId(4, oscillatorParameterOffset(2, kOscVolume)), 0.625);
    block(&in);
    restored.oscillators[4][2].volume = 0.625;
    EXPECT_EQ(stateBytes(), streamOf(restored));
}

TEST_F(ProcessorUnitTest, ARestoreThatNoBlockTookOverSurvivesDeactivation)
{
    ASSERT_EQ(activate(), kResultOk);
    const GlobalParameterState restored = patternedState(0.25, 1);
    ASSERT_EQ(restore(streamOf(restored)), kResultOk);
    ASSERT_EQ(processor->setActive(false), kResultOk);
    EXPECT_EQ(stateBytes(), streamOf(restored));
    ASSERT_EQ(processor->setActive(true), kResultOk);
    EXPECT_TRUE(*fakeVoicePool().state == restored);
}

// The audio thread runs blocks without pause while the main thread restores two different states
// in turn; every block must see one of them whole, and getState must always write one of them.
TEST_F(ProcessorUnitTest, RestoresFromAnotherThreadNeverReachABlockHalfWritten)
{
    ASSERT_EQ(activate(), kResultOk);
    const GlobalParameterState a = patternedState(0.25, 1);
    const GlobalParameterState b = patternedState(0.75, 2);
    const std::vector<unsigned char> streams[2] = {streamOf(a), streamOf(b)};
    ASSERT_EQ(restore(streams[0]), kResultOk);
    block(); // no other thread runs yet

    std::atomic<int> tornBlocks{0};
    std::atomic<int> blocks{0};
    std::atomic<bool> stop{false};
    fakeVoicePool().onBlock = [&](ProcessData&) {
        const GlobalParameterState& seen = *fakeVoicePool().state;
        if (!(seen == a) && !(seen == b))
            ++tornBlocks;
        ++blocks;
    };
    std::thread audio([&] {
        while (!stop)
            block();
    });
    constexpr int kRestores = 500;
    int tornWrites = 0;
    for (int i = 1; i <= kRestores; ++i)
    {
        ASSERT_EQ(restore(streams[i % 2]), kResultOk);
        const std::vector<unsigned char> written = stateBytes();
        if (written != streams[0] && written != streams[1])
            ++tornWrites;
        // Give the audio thread a block that starts after the restore, so that it takes it over.
        const int target = blocks + 2;
        while (blocks < target)
            std::this_thread::yield();
    }
    stop = true;
    audio.join();
    EXPECT_EQ(tornBlocks.load(), 0);
    EXPECT_EQ(tornWrites, 0);
    EXPECT_TRUE(*fakeVoicePool().state == (kRestores % 2 ? b : a));
    EXPECT_EQ(stateBytes(), streams[kRestores % 2]);
}

// Performance controls are not part of the stream: a restore, however it overlaps the blocks,
// leaves the values the blocks last applied.
TEST_F(ProcessorUnitTest, RestoresFromAnotherThreadKeepThePerformanceControls)
{
    ASSERT_EQ(activate(), kResultOk);
    const std::vector<unsigned char> stream = streamOf(patternedState(0.25, 1));
    const ParamID modWheel = channelParameterId(0, kModWheel);

    std::atomic<int> blocks{0};
    std::atomic<int> lostValues{0};
    std::atomic<bool> stop{false};
    double lastApplied = 0.0;
    fakeVoicePool().onBlock = [&](ProcessData&) {
        if (fakeVoicePool().state->modWheel[0] != lastApplied)
            ++lostValues;
        ++blocks;
    };
    std::thread audio([&] {
        ParameterChanges changes;
        for (int i = 1; !stop; ++i)
        {
            changes.clear();
            // Every other block moves the wheel; the blocks between must still see that value.
            if (i % 2)
            {
                lastApplied = i * 1e-7;
                changes.addChange(modWheel, lastApplied);
            }
            block(&changes);
        }
    });
    for (int i = 0; i < 500; ++i)
    {
        ASSERT_EQ(restore(stream), kResultOk);
        const int target = blocks + 2;
        while (blocks < target)
            std::this_thread::yield();
    }
    stop = true;
    audio.join();
    EXPECT_EQ(lostValues.load(), 0);
}

} // namespace
