#include "source/engine/SampleFrames.h"
#include "tests/samples/WaveImages.h"

#include <gtest/gtest.h>

using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::WaveReader;

namespace {

TEST_F(WaveReader, AcceptsOnlyIntegerPcmAndTakesTheLastValidLoopAfterTheData)
{
    const S format = fmt(1, 2, 16), body = fmtBody(1, 2, 16), pcm = format + data(400); // 100 frames
    const S odd8 = fmt(1, 1, 8) + data(5), stereo24 = fmt(1, 2, 24) + data(60);
    const S twoLoops = smpl(2, 0, 50).substr(8) + smpl(1, 60, 70).substr(44);
    constexpr int no = -1; // rejected; a loopEnd of 0: no loop taken
    // clang-format off
    const struct { S image; int dataSize; uint32_t loopStart = 0, loopEnd = 0; } cases[] = {
        // Not RIFF WAVE; "fmt " not first, its header cut short, its body shorter than 16 or past the end.
        {"", no}, {riff(pcm).substr(0, 11), no}, {"RIFX" + riff(pcm).substr(4), no},
        {"RIFF" + u32(432) + "AVI " + pcm, no}, {riff(chunk("LIST", "abcd") + pcm), no},
        {riff("fmt " + u16(16)), no}, {riff(chunk("fmt ", body, 1000)), no},
        {riff(chunk("fmt ", body.substr(0, 14)) + chunk(u16(16) + "xx", "") + data(4)), no}, // as if 16 bits
        {riff(chunk("fmt ", body, 0xFFFFFFFF) + pcm), no},
        // Floating point, extensible; 12 or 20 bits; 0 or 3 channels.
        {riff(fmt(3, 2, 32) + data(8)), no}, {riff(fmt(65534, 2, 16) + data(8)), no},
        {riff(fmt(1, 1, 12) + data(8)), no}, {riff(fmt(1, 1, 20) + data(8)), no},
        {riff(fmt(1, 0, 16) + data(8)), no}, {riff(fmt(1, 3, 16) + data(8)), no},
        // No whole chunk header after the format; no data chunk within the image; odd data without its pad.
        {riff(format), no}, {riff(format + "data" + u16(0)), no},
        {riff(format + chunk("LIST", "abcd") + "dat"), no}, {riff(format + chunk("data", S(8, 1), 9)), no},
        {riff(format + chunk("data", S(8, 1), 0xFFFFFFFF)), no}, {riff(fmt(1, 1, 8) + data(5, false)), no},
        // A wrong RIFF size; longer and odd format bodies; data empty, behind other chunks, odd and padded;
        // 32-bit mono at 96 kHz.
        {"RIFF" + u32(7) + "WAVE" + pcm, 400}, {riff(chunk("fmt ", body + u16(0)) + data(4)), 4},
        {riff(chunk("fmt ", body + "x") + data(4)), 4}, {riff(format + "data" + u32(0)), 0},
        {riff(format + chunk("LIST", "abc") + chunk("junk", "") + data(8)), 8}, {riff(odd8), 6},
        {riff(chunk("fmt ", fmtBody(1, 1, 32, 96000)) + data(48)), 48},
        // The first loop of a "smpl" chunk after the data, behind other chunks; the first of two loops.
        {riff(pcm + chunk("mloc", "abcd") + smpl(1, 10, 100)), 400, 10, 100},
        {riff(pcm + chunk("smpl", twoLoops)), 400, 0, 50},
        // No loop: none counted, empty, reversed, past the last frame, cut short or cut off, before the data.
        {riff(pcm + smpl(0, 10, 20)), 400}, {riff(pcm + smpl(-1, 10, 20)), 400},
        {riff(pcm + smpl(1, 20, 20)), 400}, {riff(pcm + smpl(1, 30, 20)), 400},
        {riff(pcm + smpl(1, 0, 101)), 400}, {riff(pcm + chunk("smpl", smpl(1, 10, 20).substr(8, 48))), 400},
        {riff(pcm + smpl(1, 10, 20)).substr(0, 503), 400}, {riff(format + smpl(1, 10, 20) + data(400)), 400},
        // A later valid loop replaces an earlier one; invalid ones never clear it.
        {riff(pcm + smpl(1, 10, 20) + smpl(1, 30, 40)), 400, 30, 40},
        {riff(pcm + smpl(1, 10, 20) + smpl(0, 30, 40) + smpl(1, 50, 50)), 400, 10, 20},
        // Loops up to the frame count: 24-bit stereo frames of 6 bytes; odd 8-bit data with its pad byte.
        {riff(stereo24 + smpl(1, 9, 10)), 60, 9, 10}, {riff(stereo24 + smpl(1, 9, 11)), 60},
        {riff(odd8 + smpl(1, 0, 6)), 6, 0, 6}, {riff(odd8 + smpl(1, 0, 7)), 6},
    };
    // clang-format on
    WaveSample empty;
    EXPECT_FALSE(parseWaveImage(empty, nullptr, 0));
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        SCOPED_TRACE("image " + std::to_string(i));
        const auto* bytes = reinterpret_cast<const uint8_t*>(cases[i].image.data());
        WaveSample sample{.hasLoop = true}; // the reader must clear it
        ASSERT_EQ(parseWaveImage(sample, bytes, cases[i].image.size()), cases[i].dataSize != no);
        if (cases[i].dataSize == no)
            continue;
        // The format fields as stored (the rates stay below 2^24), the data where its chunk lies.
        EXPECT_EQ(std::tuple(sample.channels, sample.sampleRate, sample.bitsPerSample, sample.bytesPerSample),
                  std::tuple(bytes[22] + 0, bytes[24] | bytes[25] << 8 | bytes[26] << 16, bytes[34] + 0,
                             bytes[34] / 8));
        EXPECT_EQ(sample.data, bytes + cases[i].image.find("data") + 8);
        EXPECT_EQ(sample.dataSize, cases[i].dataSize);
        EXPECT_EQ(sample.hasLoop ? sample.loopStart : 0, cases[i].loopStart);
        EXPECT_EQ(sample.hasLoop ? sample.loopEnd : 0, cases[i].loopEnd);
    }
}

} // namespace

// Found by fuzzing: the reader takes the rate as stored, even one that reads negative as int32;
// the player leaves such a recording, and one of 0 Hz, silent instead of dividing by it.
TEST_F(WaveReader, KeepsAnyStoredRateAndThePlayerRefusesOneThatIsNotPositive)
{
    for (const uint32_t rate : {0xEE00AC44u, 0u})
    {
        const S image = riff(chunk("fmt ", fmtBody(1, 2, 16, rate)) + data(8));
        WaveSample sample;
        ASSERT_TRUE(parseWaveImage(sample, reinterpret_cast<const uint8_t*>(image.data()), image.size()));
        EXPECT_EQ(sample.sampleRate, static_cast<int32_t>(rate));
        SampleFrames frames;
        EXPECT_FALSE(frames.assign(sample));
    }
}

// Stereo recordings whose right values equal their left ones play as mono: every byte of every
// frame must agree, at every sample width, and the parse alone never claims it.
TEST_F(WaveReader, FindsAlikeSidesOnlyWhenEveryByteOfEveryFrameAgrees)
{
    for (const uint32_t bits : {8u, 16u, 24u, 32u})
    {
        const size_t bytes = bits / 8, frames = 37;
        S body;
        for (size_t f = 0; f < frames; ++f)
        {
            S value;
            for (size_t b = 0; b < bytes; ++b)
                value += static_cast<char>(f * 7 + b * 29 + 3);
            body += value + value;
        }
        auto alike = [&](const S& samples, uint32_t channels) {
            const S image = riff(chunk("fmt ", fmtBody(1, channels, bits)) + chunk("data", samples));
            WaveSample sample;
            EXPECT_TRUE(parseWaveImage(sample, reinterpret_cast<const uint8_t*>(image.data()), image.size()));
            EXPECT_FALSE(sample.sidesAlike);
            return hasAlikeSides(sample);
        };
        EXPECT_TRUE(alike(body, 2)) << bits;
        EXPECT_FALSE(alike(body, 1)) << bits;
        for (const size_t frame : {size_t(0), frames / 2, frames - 1})
            for (size_t b = 0; b < bytes; ++b)
            {
                S changed = body;
                changed[(2 * frame + 1) * bytes + b] ^= 0x10;
                EXPECT_FALSE(alike(changed, 2)) << bits << " bits, frame " << frame << ", byte " << b;
            }
    }
}
