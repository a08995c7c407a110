// The 5244-byte state stream: its exact byte image, round trips and short or odd streams.
#include "source/processor/GlobalParameterState.h"
#include "source/processor/InstrumentPrograms.h"
#include "tests/support/ByteStream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::ByteStream;
using Bytes = std::vector<unsigned char>;

namespace {

// The test's own little-endian encoder, independent of the code under test.
void putInt64(Bytes& out, uint64 v)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void putDouble(Bytes& out, double d) { putInt64(out, std::bit_cast<uint64>(d)); }
void putInt8(Bytes& out, int8 v) { out.push_back(static_cast<unsigned char>(v)); }

void putOscillator(Bytes& out, const OscillatorSettings& o)
{
    putDouble(out, o.volume);
    putDouble(out, o.attackTime);
    putDouble(out, o.decayTime);
    putDouble(out, o.sustainLevel);
    putDouble(out, o.sustainTime);
    putDouble(out, o.releaseTime);
    putDouble(out, o.retardTime);
    putDouble(out, o.detune);
    putInt8(out, o.octave);
    putInt8(out, o.filterType);
    putDouble(out, o.filterFrequency);
    putDouble(out, o.filterQ);
    putInt8(out, o.type);
    putInt8(out, o.multiSample);
}

// The image of a new processor's state, from the program tables and the documented defaults.
Bytes freshImage()
{
    Bytes out;
    putInt64(out, 1);
    for (int ch = 0; ch < 16; ++ch)
    {
        const ProgramSettings& p = ch == 9 ? kDrumKit : kFactoryPrograms[0];
        for (const auto& o : p.oscillators)
            putOscillator(out, o);
        putDouble(out, p.masterVolume);
        putInt8(out, p.receiveNoteOff);
        putInt8(out, 0);
    }
    OscillatorSettings off{};
    off.octave = 8;
    off.filterFrequency = 1.0;
    off.sustainLevel = 1.0;
    off.releaseTime = 0.12;
    OscillatorSettings sinus = off;
    sinus.type = 1;
    sinus.volume = 1.0;
    for (int u = 0; u < 4; ++u)
    {
        putOscillator(out, sinus);
        putOscillator(out, off);
        putOscillator(out, off);
        putDouble(out, 0.3334);
        putInt8(out, 1);
    }
    return out;
}

GlobalParameterState freshState()
{
    GlobalParameterState s;
    setInitialContents(s);
    return s;
}

Bytes imageOf(const GlobalParameterState& s)
{
    ByteStream stream;
    EXPECT_EQ(s.getState(&stream), kResultOk);
    return stream.data();
}

double readDoubleAt(const Bytes& image, size_t offset)
{
    uint64 v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<uint64>(image[offset + i]) << (8 * i);
    return std::bit_cast<double>(v);
}

// A state in which every persisted field holds a distinct value, including -0.0 and a NaN payload
// so that "bit for bit" really is tested.
GlobalParameterState distinctState()
{
    GlobalParameterState s = freshState();
    double next = 0.001;
    int8 nextByte = 1;
    auto fill = [&](OscillatorSettings& o) {
        for (double* d : {&o.volume, &o.attackTime, &o.decayTime, &o.sustainLevel, &o.sustainTime,
                          &o.releaseTime, &o.detune, &o.retardTime, &o.filterFrequency, &o.filterQ})
            *d = (next += 0.0013);
        for (int8* b : {&o.type, &o.octave, &o.filterType, &o.multiSample})
            *b = nextByte++;
    };
    for (int ch = 0; ch < 16; ++ch)
    {
        for (auto& o : s.oscillators[ch])
            fill(o);
        s.masterVolume[ch] = (next += 0.0013);
        s.receiveNoteOff[ch] = nextByte++;
        s.program[ch] = nextByte++;
    }
    for (auto& u : s.userPrograms)
    {
        for (auto& o : u.oscillators)
            fill(o);
        u.masterVolume = (next += 0.0013);
        u.receiveNoteOff = nextByte++;
    }
    s.oscillators[3][1].filterQ = -0.0;
    s.userPrograms[2].oscillators[2].volume = std::bit_cast<double>(0x7ff8000000001234ull);
    return s;
}

void setNonPersisted(GlobalParameterState& s, double base)
{
    for (int ch = 0; ch < 16; ++ch)
    {
        s.modWheel[ch] = base + ch;
        s.pitchBend[ch] = base + 100 + ch;
        s.mainVolume[ch] = base + 200 + ch;
        s.panorama[ch] = base + 300 + ch;
    }
}

void expectNonPersisted(const GlobalParameterState& s, double base)
{
    for (int ch = 0; ch < 16; ++ch)
    {
        EXPECT_EQ(s.modWheel[ch], base + ch);
        EXPECT_EQ(s.pitchBend[ch], base + 100 + ch);
        EXPECT_EQ(s.mainVolume[ch], base + 200 + ch);
        EXPECT_EQ(s.panorama[ch], base + 300 + ch);
    }
}

} // namespace

TEST(StateStream, FreshStateMatchesItsByteImage)
{
    Bytes image = imageOf(freshState());
    Bytes expected = freshImage();
    ASSERT_EQ(expected.size(), 5244u);
    ASSERT_EQ(image.size(), 5244u);
    EXPECT_EQ(image, expected);

    const Bytes version{1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(version.begin(), version.end(), image.begin()));
    // Channel 10 record: program 0, OSC 1 "Multi Sample" of the "Drum Set".
    const size_t drumRecord = 8 + 262 * 9;
    EXPECT_EQ(image[drumRecord + 82], 6);
    EXPECT_EQ(image[drumRecord + 83], 3);
    EXPECT_EQ(image[drumRecord + 261], 0);
    EXPECT_EQ(readDoubleAt(image, drumRecord + 32), 0.9); // sustain time
    EXPECT_EQ(image[drumRecord + 260], 0);                // receiveNoteOff
    // A centred detune is stored as 0.0 (bipolar), not as normalised 0.5.
    EXPECT_EQ(readDoubleAt(image, 8 + 56), 0.0);
}

TEST(StateStream, RoundTripKeepsEveryPersistedFieldAndLeavesTheOthers)
{
    GlobalParameterState original = distinctState();
    original.oscillators[0][0].detune = -1.0;
    Bytes image = imageOf(original);
    ASSERT_EQ(image.size(), 5244u);
    EXPECT_EQ(readDoubleAt(image, 8 + 56), -1.0);

    GlobalParameterState restored = freshState();
    setNonPersisted(restored, 7.0);
    ByteStream in(image);
    EXPECT_EQ(restored.setState(&in), kResultOk);
    EXPECT_EQ(in.position(), 5244u);

    EXPECT_EQ(imageOf(restored), image);
    expectNonPersisted(restored, 7.0);
}

TEST(StateStream, ShortStreamsStopAtTheShortField)
{
    const Bytes full = imageOf(distinctState());
    const GlobalParameterState before = freshState();
    const Bytes beforeImage = imageOf(before);

    auto restoreFrom = [&](size_t length) {
        GlobalParameterState s = before;
        ByteStream in(Bytes(full.begin(), full.begin() + length));
        EXPECT_EQ(s.setState(&in), kResultFalse) << "length " << length;
        return s;
    };

    // Nothing, or a cut version word: nothing changes.
    EXPECT_EQ(imageOf(restoreFrom(0)), beforeImage);
    EXPECT_EQ(imageOf(restoreFrom(4)), beforeImage);

    // Version only: the first double read fails and becomes 0.0; everything else keeps its value.
    GlobalParameterState versionOnly = restoreFrom(8);
    EXPECT_EQ(versionOnly.oscillators[0][0].volume, 0.0);
    versionOnly.oscillators[0][0].volume = before.oscillators[0][0].volume;
    EXPECT_EQ(imageOf(versionOnly), beforeImage);

    // Cut inside a double (attackTime): volume is new, attackTime 0.0, the rest old.
    GlobalParameterState cutDouble = restoreFrom(8 + 8 + 3);
    EXPECT_EQ(cutDouble.oscillators[0][0].volume, distinctState().oscillators[0][0].volume);
    EXPECT_EQ(cutDouble.oscillators[0][0].attackTime, 0.0);
    EXPECT_EQ(cutDouble.oscillators[0][0].decayTime, before.oscillators[0][0].decayTime);

    // Cut right before an int8 (octave at record offset 64): the int8 keeps its old value.
    GlobalParameterState cutByte = restoreFrom(8 + 64);
    EXPECT_EQ(cutByte.oscillators[0][0].detune, distinctState().oscillators[0][0].detune);
    EXPECT_EQ(cutByte.oscillators[0][0].octave, before.oscillators[0][0].octave);

    // Cut inside the user programs: every channel is already new, user program 3 still old.
    GlobalParameterState cutUser = restoreFrom(4200 + 261 * 2 + 100);
    EXPECT_EQ(cutUser.program[15], distinctState().program[15]);
    EXPECT_EQ(cutUser.userPrograms[3], before.userPrograms[3]);
}

TEST(StateStream, OddStreamsAreReadLikeAnyOther)
{
    const Bytes image = imageOf(distinctState());
    for (uint64 version : {0ull, 7ull})
    {
        Bytes odd = image;
        odd[0] = static_cast<unsigned char>(version);
        GlobalParameterState s = freshState();
        ByteStream in(odd);
        EXPECT_EQ(s.setState(&in), kResultOk);
        EXPECT_EQ(imageOf(s), image) << "version " << version;
    }

    // Trailing bytes are not read.
    Bytes longer = image;
    longer.resize(6000, 0xAB);
    GlobalParameterState s = freshState();
    ByteStream in(longer);
    EXPECT_EQ(s.setState(&in), kResultOk);
    EXPECT_EQ(in.position(), 5244u);

    EXPECT_EQ(freshState().setState(nullptr), kResultFalse);
}

TEST(StateStream, OutOfRangeValuesAreStoredAsRead)
{
    GlobalParameterState wild = freshState();
    wild.oscillators[2][1].type = 100;
    wild.oscillators[2][1].multiSample = -5;
    wild.oscillators[2][1].filterType = 9;
    wild.oscillators[2][1].octave = -1;
    wild.program[4] = 99;
    wild.program[9] = 3;
    wild.receiveNoteOff[4] = -7;
    wild.userPrograms[0].oscillators[0].type = -128;

    GlobalParameterState s = freshState();
    ByteStream in(imageOf(wild));
    ASSERT_EQ(s.setState(&in), kResultOk);
    EXPECT_EQ(s.oscillators[2][1].type, 100);
    EXPECT_EQ(s.oscillators[2][1].multiSample, -5);
    EXPECT_EQ(s.oscillators[2][1].filterType, 9);
    EXPECT_EQ(s.oscillators[2][1].octave, -1);
    EXPECT_EQ(s.program[4], 99);
    EXPECT_EQ(s.program[9], 3);
    EXPECT_EQ(s.receiveNoteOff[4], -7);
    EXPECT_EQ(s.userPrograms[0].oscillators[0].type, -128);
    // Restoring applies no program: the oscillators are the stream's, whatever the number says.
    EXPECT_EQ(s.oscillators[4][0], wild.oscillators[4][0]);
}

TEST(StateStream, FailedWriteAnswersFalseAndKeepsWhatWasWritten)
{
    for (size_t limit : {0u, 4u, 8u, 100u, 5243u})
    {
        ByteStream out({}, limit);
        EXPECT_EQ(freshState().getState(&out), kResultFalse) << "limit " << limit;
        EXPECT_EQ(out.data().size(), limit);
        EXPECT_TRUE(std::equal(out.data().begin(), out.data().end(), freshImage().begin()));
    }
    EXPECT_EQ(freshState().getState(nullptr), kResultFalse);
}
