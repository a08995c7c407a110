// The engine against the plain model of ReferenceEngine.h: the same random programs, program
// changes and edits, notes, note expressions and parameter moves, in blocks of 1 to 2048 samples,
// at several sample rates, in single and double precision. Every output sample must be identical.
//
// TAVIRO_DIFFERENTIAL_SECONDS sets the seconds of audio per case (default 0.75) and
// TAVIRO_DIFFERENTIAL_SEED the first seed, for longer random runs by hand.

#include "InnerLoopsTest.h"
#include "ReferenceEngine.h"
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "source/engine/VoiceProcessor.h"
#include "source/state/InstrumentPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <type_traits>

namespace Taviro::Test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

constexpr int32 kMaxBlock = 2048;

double envNumber(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::atof(text) : fallback;
}

// Seven sets of made-up recordings in every stored format, mono and stereo (half of them with
// alike sides, which the engine plays as mono), at several rates, looping and not; the bytes are
// random, which is the hardest material for the interpolation.
struct RandomBank
{
    explicit RandomBank(std::mt19937& random)
    {
        std::uniform_int_distribution<int32> byte(0, 255);
        for (int32 set = 0; set < kNumMultiSampleSets; ++set)
        {
            bank.push_back(std::make_unique<MultiSampleSet>());
            const int32 zones = set == 2 ? 3 : 1 + static_cast<int32>(random() % 4);
            for (int32 z = 0; z < zones; ++z)
            {
                const int32 bytes = 1 + static_cast<int32>(random() % 4);
                const int32 channels = 1 + static_cast<int32>(random() % 2);
                const int32 rates[] = {22050, 44100, 48000, 96000};
                const int32 frames = 50 + static_cast<int32>(random() % 4000);
                std::vector<uint8>& data = storage.emplace_back(static_cast<size_t>(frames * channels * bytes));
                for (uint8& b : data)
                    b = static_cast<uint8>(byte(random));
                const bool alike = channels == 2 && random() % 2 == 0;
                for (size_t f = 0; alike && f < data.size(); f += 2 * bytes)
                    std::copy_n(data.begin() + f, bytes, data.begin() + f + bytes);
                const bool loop = random() % 2 == 0;
                const uint64 loopStart = loop ? random() % (frames / 2) : 0;
                const uint64 loopEnd = loop ? loopStart + 1 + random() % (frames - loopStart) : 0;
                bank[set]->samples.push_back(std::make_unique<WaveSample>(
                    WaveSample{bytes, bytes * 8, rates[random() % 4], channels, loop,
                               static_cast<int32>(data.size()), data.data(), loopStart, loopEnd, alike}));
                bank[set]->rootKeys.push_back(24 + static_cast<int32>(random() % 80));
            }
        }
    }
    SampleBank bank;
    std::vector<std::vector<uint8>> storage;
};

// Random but plausible sounds: short envelopes so that notes end within the run.
struct Randomizer
{
    explicit Randomizer(uint32 seed) : random(seed) {}

    double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(random); }
    int32 below(int32 n) { return static_cast<int32>(random() % static_cast<uint32>(n)); }
    bool chance(double p) { return unit() < p; }
    // Mostly inside the range; now and then exactly at an end.
    double edgy(double scale = 1.0)
    {
        const int32 pick = below(10);
        return pick == 0 ? 0.0 : (pick == 1 ? scale : unit() * scale);
    }

    OscillatorSettings oscillator()
    {
        OscillatorSettings o{};
        o.type = static_cast<int8>(below(7));
        o.volume = edgy();
        o.attackTime = edgy(0.02);
        o.decayTime = edgy(0.04);
        o.sustainLevel = edgy();
        o.sustainTime = edgy(0.04);
        o.releaseTime = edgy(0.04);
        o.detune = edgy(2.0) - 1.0;
        o.retardTime = chance(0.3) ? edgy(0.02) : 0.0;
        o.octave = static_cast<int8>(chance(0.7) ? 8 : below(17));
        o.filterFrequency = edgy();
        o.filterQ = edgy();
        o.filterType = static_cast<int8>(below(4));
        o.multiSample = static_cast<int8>(below(8));
        return o;
    }

    void channel(GlobalParameterState& state, int32 ch)
    {
        if (chance(0.3))
        {
            state.program[ch] = static_cast<int8>(below(kNumPrograms));
            applyProgram(state, ch, nullptr);
            return;
        }
        state.masterVolume[ch] = edgy();
        state.receiveNoteOff[ch] = static_cast<int8>(chance(0.6));
        for (OscillatorSettings& o : state.oscillators[ch])
            o = oscillator();
    }

    GlobalParameterState initialState()
    {
        GlobalParameterState state{};
        setInitialContents(state);
        for (UserProgram& user : state.userPrograms)
        {
            user.masterVolume = edgy();
            user.receiveNoteOff = static_cast<int8>(chance(0.5));
            for (OscillatorSettings& o : user.oscillators)
                o = oscillator();
        }
        for (int32 ch = 0; ch < kNumChannels; ++ch)
        {
            channel(state, ch);
            state.mainVolume[ch] = edgy();
            state.panorama[ch] = edgy();
            state.modWheel[ch] = chance(0.5) ? 0.0 : edgy();
            state.pitchBend[ch] = 1.0;
        }
        return state;
    }

    // Between blocks: what automation, the mod wheel, pitch bend and program changes do.
    void moveParameters(GlobalParameterState& state)
    {
        const int32 moves = below(4);
        for (int32 m = 0; m < moves; ++m)
        {
            const int32 ch = below(kNumChannels);
            OscillatorSettings& o = state.oscillators[ch][below(3)];
            switch (below(12))
            {
            case 0:
            case 1: o.filterFrequency = edgy(); break; // filter sweeps
            case 2: o.filterQ = edgy(); break;
            case 3: state.masterVolume[ch] = edgy(); break;
            case 4: state.mainVolume[ch] = edgy(); break;
            case 5: state.panorama[ch] = edgy(); break;
            case 6: state.modWheel[ch] = edgy(); break;
            case 7: state.pitchBend[ch] = std::pow(2.0, (edgy(2.0) - 1.0) * 2.0 / 12.0); break;
            case 8: o.detune = edgy(2.0) - 1.0; break;
            case 9: o.octave = static_cast<int8>(below(17)); break;
            case 10: channel(state, ch); break; // a program change or an edited user program
            default: o = oscillator(); break;   // an edit that sounding notes must ignore, but for what follows
            }
        }
    }

    std::mt19937 random;
};

// The channel's sound, for the failure message.
std::string describe(const GlobalParameterState& state, int32 ch)
{
    std::string text = "\n  channel " + std::to_string(ch) + " receiveNoteOff " +
                       std::to_string(state.receiveNoteOff[ch]) + " modWheel " + std::to_string(state.modWheel[ch]);
    for (const OscillatorSettings& o : state.oscillators[ch])
        text += "\n  type " + std::to_string(o.type) + " set " + std::to_string(o.multiSample) + " filter " +
                std::to_string(o.filterType) + " at " + std::to_string(o.filterFrequency) + " q " +
                std::to_string(o.filterQ) + " retard " + std::to_string(o.retardTime);
    return text;
}

template <typename T>
struct Buses
{
    Buses() : samples(32 * kMaxBlock)
    {
        for (int32 b = 0; b < 16; ++b)
            for (int32 c = 0; c < 2; ++c)
                pointers[b][c] = &samples[static_cast<size_t>((2 * b + c) * kMaxBlock)];
    }
    std::vector<T> samples;
    T* pointers[16][2];
};

// Runs one random case: `seconds` of audio at `rate`, compares every block.
template <typename T>
void runCase(uint32 seed, float rate, double seconds)
{
    Randomizer r(seed);
    RandomBank bank(r.random);
    GlobalParameterState engineState = r.initialState();
    GlobalParameterState modelState = engineState;
    std::unique_ptr<VoiceProcessor> engine(
        createVoiceProcessor(std::is_same_v<T, float> ? kSample32 : kSample64, rate, &engineState, &bank.bank));
    Reference::Pool<T> model(rate, &modelState, &bank.bank);

    Buses<T> engineOut, modelOut;
    AudioBusBuffers buses[16] = {};
    for (int32 b = 0; b < 16; ++b)
    {
        buses[b].numChannels = 2;
        if constexpr (std::is_same_v<T, float>)
            buses[b].channelBuffers32 = engineOut.pointers[b];
        else
            buses[b].channelBuffers64 = engineOut.pointers[b];
    }
    ProcessData data;
    data.symbolicSampleSize = std::is_same_v<T, float> ? kSample32 : kSample64;
    data.numOutputs = 16;
    data.outputs = buses;

    std::vector<int32> ids; // notes started, for note-offs and expressions
    std::vector<int16> channels;
    int64 rendered = 0;
    const int64 total = static_cast<int64>(seconds * rate);
    for (int32 block = 0; rendered < total; ++block)
    {
        // Block sizes spread over 1..2048 on a log scale; now and then exactly 5 ms.
        int32 n = static_cast<int32>(std::exp(r.unit() * std::log(2048.0)));
        if (r.chance(0.05))
            n = static_cast<int32>(0.005 * rate);
        n = std::clamp(n, 1, kMaxBlock);

        std::vector<Event> events;
        const int32 count = r.chance(0.5) ? r.below(6) : 0;
        for (int32 e = 0; e < count; ++e)
        {
            const int32 offset = r.below(n);
            const int16 ch = static_cast<int16>(r.below(kNumChannels));
            const int32 kind = r.below(10);
            if (kind < 5 || ids.empty())
            {
                // Now and then a chord: its voices share their filter sweeps.
                const int32 notes = r.chance(0.3) ? 3 : 1;
                const float velocity = static_cast<float>(r.edgy());
                for (int32 c = 0; c < notes; ++c)
                {
                    const int32 id = r.chance(0.3) ? -1 : static_cast<int32>(ids.size()) + 1000;
                    const int16 pitch = static_cast<int16>(r.below(128));
                    events.push_back(makeNoteOn(offset, ch, pitch, velocity, id));
                    ids.push_back(id == -1 ? pitch : id);
                    channels.push_back(ch);
                }
            }
            else
            {
                const size_t which = static_cast<size_t>(r.below(static_cast<int32>(ids.size())));
                const int16 noteCh = channels[which];
                if (kind < 8)
                    events.push_back(makeNoteOff(offset, noteCh, static_cast<int16>(ids[which] & 127), 0.0f,
                                                 ids[which] < 128 ? -1 : ids[which]));
                else
                {
                    Event x{};
                    x.type = Event::kNoteExpressionValueEvent;
                    x.sampleOffset = offset;
                    const uint32 type = (kind == 8 ? 100000u : 100016u) + static_cast<uint32>(noteCh);
                    x.noteExpressionValue = {type, ids[which], r.edgy()};
                    events.push_back(x);
                }
            }
        }
        if (r.chance(0.3))
        {
            r.moveParameters(engineState);
            modelState = engineState;
        }

        EventList list(static_cast<int32>(events.size()) + 1);
        for (Event& e : events)
            list.addEvent(e);
        std::fill(engineOut.samples.begin(), engineOut.samples.end(), T(1234));
        data.numSamples = n;
        data.inputEvents = &list;
        engine->process(data);
        model.process(events, modelOut.pointers, n);

        ASSERT_EQ(engine->activeVoices, model.activeVoices) << "seed " << seed << " block " << block;
        for (int32 b = 0; b < 16; ++b)
            for (int32 c = 0; c < 2; ++c)
                for (int32 i = 0; i < n; ++i)
                {
                    const T e = engineOut.pointers[b][c][i], m = modelOut.pointers[b][c][i];
                    if (std::memcmp(&e, &m, sizeof(T)) != 0)
                        FAIL() << "seed " << seed << " rate " << rate << " block " << block << " (" << n
                               << " samples, from " << rendered << ") bus " << b << " side " << c << " sample " << i
                               << ": engine " << e << ", model " << m << " (" << (e - m) << ")"
                               << describe(engineState, b);
                }
        rendered += n;
    }
}

// Each case runs with the baseline inner loops and, where the processor has them, the AVX2 ones.
class EngineDifferential : public InnerLoopsTest
{
protected:
    const double seconds = envNumber("TAVIRO_DIFFERENTIAL_SECONDS", 0.75);
    const uint32 seed = static_cast<uint32>(envNumber("TAVIRO_DIFFERENTIAL_SEED", 1));
};

TEST_P(EngineDifferential, SinglePrecisionMatchesTheModelAtEveryRate)
{
    uint32 s = seed;
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 22050.0f})
        runCase<float>(s++, rate, seconds);
}

TEST_P(EngineDifferential, DoublePrecisionMatchesTheModelAtEveryRate)
{
    uint32 s = seed + 100;
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 22050.0f})
        runCase<double>(s++, rate, seconds);
}

INSTANTIATE_TEST_SUITE_P(InnerLoops, EngineDifferential, ::testing::Values(false, true), innerLoopsName);

} // namespace
} // namespace Taviro::Test
