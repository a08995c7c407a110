// The processor's parts on their own: the channel state and its 5244-byte stream, the programs, the
// identifiers a program change queues, the conversion of the host's values, the hand-over of
// restored states, and the plain processor's controller.
#include "source/ParameterIds.h"
#include "source/state/InstrumentPrograms.h"
#include "source/processor/ParameterConversion.h"
#include "source/processor/Processor.h"
#include "source/processor/StateHandover.h"
#include "tests/support/ByteStream.h"
#include "tests/support/ClassIdBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::ByteStream;
using Bytes = std::vector<unsigned char>;

namespace {

// The test's own little-endian encoder, independent of the code under test.
template <typename T>
void put(Bytes& out, T value)
{
    const auto bits = std::bit_cast<std::conditional_t<sizeof(T) == 8, uint64, uint8>>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

void putOscillator(Bytes& out, const OscillatorSettings& o)
{
    for (double d : {o.volume, o.attackTime, o.decayTime, o.sustainLevel, o.sustainTime, o.releaseTime,
                     o.retardTime, o.detune})
        put(out, d);
    put(out, o.octave);
    put(out, o.filterType);
    put(out, o.filterFrequency);
    put(out, o.filterQ);
    put(out, o.type);
    put(out, o.multiSample);
}

// A new state's image, from the program tables and the documented initial contents.
Bytes freshImage()
{
    Bytes out = {1, 0, 0, 0, 0, 0, 0, 0};
    for (int ch = 0; ch < 16; ++ch)
    {
        const ProgramSettings& p = ch == 9 ? kDrumKit : kFactoryPrograms[0];
        for (const auto& o : p.oscillators)
            putOscillator(out, o);
        put(out, p.masterVolume);
        put(out, p.receiveNoteOff);
        put(out, int8(0)); // program
    }
    // Type, volume, attack, decay, sustain level and time, release, detune, retard, octave, filter
    // frequency, Q and type, multi-sample set.
    const OscillatorSettings sinus = {1, 1.0, 0.0, 0.0, 1.0, 0.0, 0.12, 0.0, 0.0, 8, 1.0, 0.0, 0, 0};
    const OscillatorSettings off = {0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.12, 0.0, 0.0, 8, 1.0, 0.0, 0, 0};
    for (int u = 0; u < 4; ++u)
    {
        for (const auto& o : {sinus, off, off})
            putOscillator(out, o);
        put(out, 0.3334);
        put(out, int8(1));
    }
    return out;
}

GlobalParameterState freshState()
{
    GlobalParameterState s;
    setInitialContents(s);
    return s;
}

// Mod wheel, pitch bend, main volume and panorama: the values the stream does not hold.
std::vector<double> performance(const GlobalParameterState& s, int ch)
{
    return {s.modWheel[ch], s.pitchBend[ch], s.mainVolume[ch], s.panorama[ch]};
}

Bytes imageOf(const GlobalParameterState& s)
{
    ByteStream stream;
    EXPECT_EQ(s.getState(&stream), kResultOk);
    return stream.data();
}

// A stream whose bytes all differ from their neighbours: every double a different value, with a
// NaN payload and a -0.0 among them, and int8 fields that are negative or out of range.
Bytes patternedImage()
{
    Bytes image = {1, 0, 0, 0, 0, 0, 0, 0};
    for (size_t i = 8; i < 5244; ++i)
        image.push_back(static_cast<unsigned char>(i * 151 + 7));
    const Bytes nanAndMinusZero = {0x34, 0x12, 0, 0, 0, 0, 0xF8, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0x80};
    std::copy(nanAndMinusZero.begin(), nanAndMinusZero.end(), image.begin() + 8);
    return image;
}

TEST(StateStream, FreshStateWritesTheDocumentedImage)
{
    const GlobalParameterState s = freshState();
    const Bytes image = imageOf(s);
    EXPECT_EQ(image, freshImage());
    // Piano (set 2) on channel 1; on channel 10 program 0 is the drum kit (set 3, sustain time 0.9).
    const size_t drums = 8 + 262 * 9;
    EXPECT_EQ(image[8 + 83], 2);
    const Bytes drumBytes = {image[drums + 82], image[drums + 83], image[drums + 260], image[drums + 261]};
    EXPECT_EQ(drumBytes, (Bytes{6, 3, 0, 0})); // type, multi-sample set, note-off switch, program
    EXPECT_EQ(kDrumKit.oscillators[0].sustainTime, 0.9);
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(performance(s, ch), (std::vector<double>{0.0, 1.0, 0.787, 0.5}));
}

TEST(StateStream, RoundTripKeepsEveryPersistedFieldAsReadAndLeavesTheOthers)
{
    const Bytes image = patternedImage();
    GlobalParameterState s = freshState();
    for (int ch = 0; ch < 16; ++ch)
        s.modWheel[ch] = s.pitchBend[ch] = s.mainVolume[ch] = s.panorama[ch] = ch + 7.0;
    ByteStream in(image);
    EXPECT_EQ(s.setState(&in), kResultOk);
    EXPECT_EQ(imageOf(s), image);
    for (int ch = 0; ch < 16; ++ch)
    {
        EXPECT_EQ(performance(s, ch), std::vector<double>(4, ch + 7.0));
        // Every field as read (program numbers -78, 60, -58, ...), where the test's encoder puts it.
        Bytes record;
        for (const auto& o : s.oscillators[ch])
            putOscillator(record, o);
        EXPECT_EQ(record, Bytes(image.begin() + 8 + 262 * ch, image.begin() + 8 + 262 * ch + 252));
        EXPECT_EQ(s.program[ch], static_cast<int8>(image[8 + 262 * ch + 261]));
    }
}

TEST(StateStream, ShortStreamsStopAtTheShortField)
{
    const Bytes image = patternedImage();
    const Bytes before = imageOf(freshState());
    // Stream length, offset of the field whose read fails, and whether it is a double (which
    // becomes 0.0; an int8 keeps its old value). Fields before it are new, fields after it old.
    const std::tuple<size_t, size_t, bool> cuts[] = {
        {0, 0, false}, {4, 0, false}, {8, 8, true}, {8 + 8 + 3, 8 + 8, true}, {8 + 64, 8 + 64, false},
        {4200 + 261 * 2 + 100, 4200 + 261 * 2 + 100, true}, {5243, 5243, false}};
    for (const auto& [length, field, isDouble] : cuts)
    {
        GlobalParameterState s = freshState();
        ByteStream in(Bytes(image.begin(), image.begin() + length));
        EXPECT_EQ(s.setState(&in), kResultFalse) << length;
        Bytes expected = before;
        std::copy_n(image.begin(), field, expected.begin());
        if (isDouble)
            std::fill_n(expected.begin() + field, 8, 0);
        EXPECT_EQ(imageOf(s), expected) << length;
    }
}

TEST(StateStream, OddStreamsAreReadLikeAnyOtherAndFailedWritesAnswerFalse)
{
    const Bytes image = patternedImage();
    for (unsigned char version : {0, 7})
    {
        Bytes odd = image;
        odd[0] = version;
        odd.resize(6000, 0xAB);
        GlobalParameterState s = freshState();
        ByteStream in(odd);
        EXPECT_EQ(s.setState(&in), kResultOk);
        EXPECT_EQ(in.position(), 5244u);
        EXPECT_EQ(imageOf(s), image) << "version " << int(version);
    }
    EXPECT_EQ(freshState().setState(nullptr), kResultFalse);
    ByteStream full({}, 5243);
    EXPECT_EQ(freshState().getState(&full), kResultFalse);
    EXPECT_EQ(freshState().getState(nullptr), kResultFalse);
}

TEST(InstrumentPrograms, ProgramsOverwriteEverySettingAndUserProgramsAreCopies)
{
    GlobalParameterState s = freshState();
    for (int ch : {0, 2, 5})
    {
        std::memset(&s.oscillators[ch], 0x55, sizeof s.oscillators[ch]); // leftovers to replace
        s.program[ch] = ch == 2 ? 2 : 15;
        applyProgram(s, ch, nullptr);
        const ProgramSettings& p = kFactoryPrograms[2];
        const UserProgram& u = s.userPrograms[0]; // "USER 1"
        EXPECT_EQ(s.masterVolume[ch], ch == 2 ? p.masterVolume : u.masterVolume);
        EXPECT_EQ(s.receiveNoteOff[ch], ch == 2 ? p.receiveNoteOff : u.receiveNoteOff);
        for (int o = 0; o < 3; ++o)
            EXPECT_EQ(s.oscillators[ch][o], ch == 2 ? p.oscillators[o] : u.oscillators[o]) << ch << " " << o;
    }
}

// Hosts that automate program changes must not make the stack grow: an identifier still pending
// moves to the top instead of being stored twice.
TEST(PendingParameterIds, RepeatedProgramChangesStayBounded)
{
    GlobalParameterState s = freshState();
    PendingParameterIds pending;
    for (int round = 0; round < 50; ++round)
        for (int ch = 0; ch < 16; ++ch)
            applyProgram(s, ch, &pending);
    applyProgram(s, 0, &pending);
    EXPECT_EQ(pending.size(), 16 * 44);
    for (int i = 0; i < 44; ++i, pending.pop())
        EXPECT_LT(pending.top(), 49u);
    EXPECT_EQ(pending.top(), 49u * 15 + 29);
}

TEST(Processor, ThePlainProcessorNamesThePlainController)
{
    IPtr<Processor> processor = owned(new Processor());
    TUID cid{};
    ASSERT_EQ(processor->getControllerClassId(cid), kResultOk);
    EXPECT_EQ(Bytes(cid, cid + 16), Taviro::Test::kControllerClassBytes);
}

// The host's normalised values in their stored form, as the process cycle applies them.
TEST(ParameterConversion, ValuesAreStoredInTheirDocumentedForm)
{
    GlobalParameterState s = freshState();
    PendingParameterIds pending;
    auto set = [&](int32 ch, int32 offset, double v) {
        return applyParameterValue(s, pending, channelParameterId(ch, offset), v);
    };
    OscillatorSettings& osc = s.oscillators[1][1];
    const int32 osc2 = kParametersPerOscillator;
    // Lists: truncated, limited to their last entry, never negative.
    const std::pair<double, int8> types[] = {{1.0, 6}, {0.999, 6}, {0.14, 0}, {0.15, 1}, {-0.5, 0}, {1e9, 6}};
    for (const auto& [v, type] : types)
    {
        set(1, osc2 + kOscType, v);
        EXPECT_EQ(osc.type, type) << v;
    }
    set(1, osc2 + kOscMultiSample, 1.0);
    set(1, osc2 + kOscFilterType, 1.0);
    set(1, osc2 + kOscOctave, 1.0);
    EXPECT_EQ(osc.multiSample, 7);
    EXPECT_EQ(osc.filterType, 3);
    EXPECT_EQ(osc.octave, 16);
    // Doubles as received (also outside 0..1), detune bipolar, bend as a divisor, the switch at 0.5.
    set(1, osc2 + kOscVolume, 1.5);
    set(1, osc2 + kOscDetune, 0.75);
    EXPECT_EQ(osc.volume, 1.5);
    EXPECT_EQ(osc.detune, 0.5);
    const std::pair<double, double> bends[] = {{0, 1.0594625738944634}, {0.5, 1}, {1, 0.943874800054369}};
    for (const auto& [v, divisor] : bends)
    {
        set(1, kPitchBend, v);
        EXPECT_EQ(s.pitchBend[1], divisor) << v;
    }
    set(1, kReceiveNoteOff, 0.5);
    EXPECT_EQ(s.receiveNoteOff[1], 1);

    // Program 1.0 is "USER 4"; channel 10 always gets the drum kit again and queues 44 identifiers.
    s.userPrograms[3].masterVolume = 0.123;
    set(0, kProgramChange, 1.0);
    EXPECT_EQ(s.program[0], 18);
    EXPECT_EQ(s.masterVolume[0], 0.123);
    s.oscillators[9][0].multiSample = 1;
    pending = PendingParameterIds();
    set(9, kProgramChange, 0.9);
    EXPECT_EQ(s.program[9], 0);
    EXPECT_EQ(s.oscillators[9][0].multiSample, 3);
    EXPECT_EQ(pending.size(), 44);
    EXPECT_EQ(pending.top(), 470u);

    // Values that are not finite change nothing.
    const GlobalParameterState before = s;
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        for (int32 offset = 0; offset < kParametersPerChannel; ++offset)
            EXPECT_FALSE(set(2, offset, v));
    EXPECT_EQ(s, before);

    // While a channel plays a user program, its sound settings go into that program.
    s.program[2] = 16; // channel 3 plays "USER 2"
    s.program[9] = 16; // as a stream may leave it on the drum channel
    set(2, osc2 + kOscVolume, 0.7);
    set(2, kOscType, 0.5);
    set(2, kMasterVolume, 0.41);
    set(2, kReceiveNoteOff, 0.0);
    const UserProgram& user = s.userPrograms[1];
    EXPECT_EQ(user.oscillators[1].volume, 0.7);
    EXPECT_EQ(user.oscillators[0].type, 3);
    EXPECT_EQ(user.masterVolume, 0.41);
    EXPECT_EQ(user.receiveNoteOff, 0);

    // Performance controls, the drum channel and factory programs never reach a user program.
    const GlobalParameterState edited = s;
    for (int32 offset : {kModWheel, kPitchBend, kMainVolume, kPanorama})
        set(2, offset, 0.9);
    set(9, osc2 + kOscVolume, 0.2);
    set(3, kMasterVolume, 0.2);
    for (int u = 0; u < 4; ++u)
        EXPECT_EQ(s.userPrograms[u], edited.userPrograms[u]);
}

// A restore read while a block runs carries performance controls older than the block's: the
// audio thread takes over only what the stream holds.
TEST(StateHandover, ARestoreKeepsThePerformanceControlsTheBlocksAppliedLast)
{
    GlobalParameterState live = freshState();
    StateHandover handover;
    handover.reset(live);
    ByteStream in(patternedImage());
    EXPECT_EQ(handover.restore([&](GlobalParameterState& copy) { return copy.setState(&in); }), kResultOk);
    for (int ch = 0; ch < 16; ++ch)
        live.modWheel[ch] = live.pitchBend[ch] = live.mainVolume[ch] = live.panorama[ch] = ch + 7.0;
    ASSERT_TRUE(handover.takeOver(live));
    EXPECT_EQ(imageOf(live), patternedImage());
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(performance(live, ch), std::vector<double>(4, ch + 7.0));
}

} // namespace
