#include "WaveImage.h"
#include "source/samples/WaveSample.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>

using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::WaveImage;

namespace {

struct Parsed
{
    bool accepted = false;
    WaveSample sample;
    std::vector<uint8_t> image; // kept alive: sample.data points into it
};

Parsed parse(const WaveImage& builder)
{
    Parsed result;
    result.image = builder.bytes();
    result.sample.hasLoop = true; // the reader must clear it
    result.accepted = parseWaveImage(result.sample, result.image.data(), result.image.size());
    return result;
}

bool accepts(const WaveImage& builder)
{
    return parse(builder).accepted;
}

// 100 frames of 16-bit stereo: 400 data bytes.
WaveImage stereo16()
{
    return WaveImage().format(1, 2, 44100, 16).data(400);
}

} // namespace

TEST(WaveReader, AcceptsPcmAndDescribesTheDataInPlace)
{
    const auto image = WaveImage().format(1, 2, 44100, 16).chunk("LIST", {1, 2, 3, 4}).data(400);
    const Parsed parsed = parse(image);
    ASSERT_TRUE(parsed.accepted);
    EXPECT_EQ(parsed.sample.bitsPerSample, 16);
    EXPECT_EQ(parsed.sample.bytesPerSample, 2);
    EXPECT_EQ(parsed.sample.channels, 2);
    EXPECT_EQ(parsed.sample.sampleRate, 44100);
    EXPECT_EQ(parsed.sample.dataSize, 400);
    EXPECT_FALSE(parsed.sample.hasLoop);
    EXPECT_EQ(parsed.sample.data, parsed.image.data() + image.bodyOffset(2));
}

TEST(WaveReader, AcceptsExactlyTheIntegerSampleSizes)
{
    for (uint32_t bits : {8u, 16u, 24u, 32u})
    {
        const Parsed parsed = parse(WaveImage().format(1, 1, 96000, bits).data(48));
        ASSERT_TRUE(parsed.accepted) << bits;
        EXPECT_EQ(parsed.sample.bitsPerSample, static_cast<int>(bits));
        EXPECT_EQ(parsed.sample.bytesPerSample, static_cast<int>(bits / 8));
        EXPECT_EQ(parsed.sample.sampleRate, 96000);
    }
    for (uint32_t bits : {0u, 4u, 12u, 20u, 48u, 64u})
        EXPECT_FALSE(accepts(WaveImage().format(1, 1, 44100, bits).data(48))) << bits;
}

TEST(WaveReader, AcceptsMonoAndStereoOnly)
{
    EXPECT_TRUE(accepts(WaveImage().format(1, 1).data(4)));
    EXPECT_TRUE(accepts(WaveImage().format(1, 2).data(4)));
    for (uint32_t channels : {0u, 3u, 6u})
        EXPECT_FALSE(accepts(WaveImage().format(1, channels).data(12))) << channels;
}

TEST(WaveReader, RejectsFormatsOtherThanIntegerPcm)
{
    EXPECT_FALSE(accepts(WaveImage().format(3, 2, 44100, 32).data(8)));     // floating point
    EXPECT_FALSE(accepts(WaveImage().format(65534, 2, 44100, 16).data(8))); // extensible
    EXPECT_FALSE(accepts(WaveImage().format(2, 2, 44100, 16).data(8)));     // ADPCM
}

TEST(WaveReader, RejectsAnythingButRiffWave)
{
    WaveSample empty;
    EXPECT_FALSE(parseWaveImage(empty, nullptr, 0));
    auto image = stereo16().bytes();
    for (size_t size : {size_t{0}, size_t{4}, size_t{11}})
    {
        WaveSample sample;
        EXPECT_FALSE(parseWaveImage(sample, image.data(), size)) << size;
    }
    auto notRiff = image;
    std::memcpy(notRiff.data(), "RIFX", 4);
    auto notWave = image;
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    for (auto* bad : {&notRiff, &notWave})
    {
        WaveSample sample;
        EXPECT_FALSE(parseWaveImage(sample, bad->data(), bad->size()));
    }
}

TEST(WaveReader, IgnoresAWrongRiffSize)
{
    EXPECT_TRUE(accepts(stereo16().riffSize(0)));
    EXPECT_TRUE(accepts(stereo16().riffSize(0xFFFFFFFF)));
    EXPECT_TRUE(accepts(stereo16().riffSize(7)));
}

TEST(WaveReader, RequiresTheFormatChunkFirst)
{
    EXPECT_FALSE(accepts(WaveImage().chunk("LIST", {1, 2, 3, 4}).format().data(400)));
    // Only part of the first chunk header.
    EXPECT_FALSE(accepts(WaveImage().raw("fmt ")));
    EXPECT_FALSE(accepts(WaveImage().raw("fmt ").u16(16)));
}

TEST(WaveReader, ChecksTheFormatChunkSize)
{
    const auto body = WaveImage::formatBody(1, 2, 44100, 16);
    auto shortBody = body;
    shortBody.resize(14);
    EXPECT_FALSE(accepts(WaveImage().chunk("fmt ", shortBody).data(4)));

    // A longer format body (with an extension size field) is skipped as a whole, even when odd.
    auto longBody = body;
    longBody.insert(longBody.end(), {0, 0});
    EXPECT_TRUE(accepts(WaveImage().chunk("fmt ", longBody).data(4)));
    auto oddBody = body;
    oddBody.push_back(0);
    EXPECT_TRUE(accepts(WaveImage().chunk("fmt ", oddBody).data(4)));

    // Declared larger than the resource.
    EXPECT_FALSE(accepts(WaveImage().chunk("fmt ", body, true, 1000)));
    EXPECT_FALSE(accepts(WaveImage().chunk("fmt ", body, true, 0xFFFFFFFF).data(4)));
}

TEST(WaveReader, NeedsAWholeChunkHeaderAfterTheFormat)
{
    EXPECT_FALSE(accepts(WaveImage().format()));
    EXPECT_FALSE(accepts(WaveImage().format().raw("data")));
    EXPECT_FALSE(accepts(WaveImage().format().raw("data").u16(0)));
    EXPECT_TRUE(accepts(WaveImage().format().raw("data").u32(0)));
}

TEST(WaveReader, FindsTheDataChunkBehindOtherChunks)
{
    const auto image = WaveImage().format().chunk("LIST", {1, 2, 3}).chunk("junk", {}).data(8);
    const Parsed parsed = parse(image);
    ASSERT_TRUE(parsed.accepted);
    EXPECT_EQ(parsed.sample.data, parsed.image.data() + image.bodyOffset(3));
    EXPECT_EQ(parsed.sample.dataSize, 8);

    EXPECT_FALSE(accepts(WaveImage().format().chunk("LIST", {1, 2, 3, 4})));
    EXPECT_FALSE(accepts(WaveImage().format().chunk("LIST", {1, 2, 3, 4}).raw("dat")));
}

TEST(WaveReader, RejectsADataChunkThatOverrunsTheResource)
{
    EXPECT_FALSE(accepts(WaveImage().format().chunk("data", std::vector<uint8_t>(8), true, 9)));
    EXPECT_FALSE(accepts(WaveImage().format().chunk("data", std::vector<uint8_t>(8), true, 0xFFFFFFFF)));
}

TEST(WaveReader, CountsThePadByteOfAnOddDataChunk)
{
    const Parsed padded =
        parse(WaveImage().format(1, 1, 44100, 8).chunk("data", std::vector<uint8_t>(5), true));
    ASSERT_TRUE(padded.accepted);
    EXPECT_EQ(padded.sample.dataSize, 6);

    // The same chunk at the very end without its pad byte.
    EXPECT_FALSE(accepts(WaveImage().format(1, 1, 44100, 8).chunk("data", std::vector<uint8_t>(5), false)));
}

TEST(WaveReader, TakesTheFirstLoopOfASamplerChunkAfterTheData)
{
    // 100 stereo 16-bit frames; a "mloc" chunk between data and sampler is skipped.
    const Parsed parsed = parse(stereo16().chunk("mloc", {1, 2, 3, 4}).sampler(1, 10, 100));
    ASSERT_TRUE(parsed.accepted);
    EXPECT_TRUE(parsed.sample.hasLoop);
    EXPECT_EQ(parsed.sample.loopStart, 10u);
    EXPECT_EQ(parsed.sample.loopEnd, 100u);

    // Only the first loop record counts.
    auto twoLoops = WaveImage::samplerBody(2, 0, 50);
    const auto second = WaveImage::samplerBody(1, 60, 70);
    twoLoops.insert(twoLoops.end(), second.end() - 24, second.end());
    const Parsed first = parse(stereo16().chunk("smpl", twoLoops));
    ASSERT_TRUE(first.accepted);
    EXPECT_EQ(first.sample.loopStart, 0u);
    EXPECT_EQ(first.sample.loopEnd, 50u);
}

TEST(WaveReader, LeavesInvalidLoopsOutButKeepsTheSample)
{
    const struct
    {
        int32_t loopCount;
        uint32_t start, end;
    } invalid[] = {
        {0, 10, 20},  // no loops
        {-1, 10, 20}, // negative count
        {1, 20, 20},  // empty loop
        {1, 30, 20},  // reversed
        {1, 0, 101},  // ends past the last frame
    };
    for (const auto& loop : invalid)
    {
        const Parsed parsed = parse(stereo16().sampler(loop.loopCount, loop.start, loop.end));
        EXPECT_TRUE(parsed.accepted);
        EXPECT_FALSE(parsed.sample.hasLoop) << loop.loopCount << " " << loop.start << " " << loop.end;
    }

    // A sampler chunk too short to hold the first loop's end, declared or cut off by the resource.
    auto shortBody = WaveImage::samplerBody(1, 10, 20);
    shortBody.resize(48);
    EXPECT_FALSE(parse(stereo16().chunk("smpl", shortBody)).sample.hasLoop);
    auto cutOff = stereo16().bytes();
    const auto full = stereo16().sampler(1, 10, 20).bytes();
    cutOff.assign(full.begin(), full.end() - 9); // ends inside the first loop's end field
    WaveSample sample;
    EXPECT_TRUE(parseWaveImage(sample, cutOff.data(), cutOff.size()));
    EXPECT_FALSE(sample.hasLoop);
}

TEST(WaveReader, LoopEndMayReachTheFrameCountOfThePaddedData)
{
    EXPECT_TRUE(parse(stereo16().sampler(1, 0, 100)).sample.hasLoop);
    // 24-bit stereo frames are 6 bytes: 60 bytes hold 10 frames.
    EXPECT_TRUE(parse(WaveImage().format(1, 2, 44100, 24).data(60).sampler(1, 9, 10)).sample.hasLoop);
    EXPECT_FALSE(parse(WaveImage().format(1, 2, 44100, 24).data(60).sampler(1, 9, 11)).sample.hasLoop);
    // Five 8-bit mono bytes and their pad byte count as six frames.
    const auto odd = WaveImage().format(1, 1, 44100, 8).chunk("data", std::vector<uint8_t>(5));
    EXPECT_TRUE(parse(WaveImage(odd).sampler(1, 0, 6)).sample.hasLoop);
    EXPECT_FALSE(parse(WaveImage(odd).sampler(1, 0, 7)).sample.hasLoop);
}

TEST(WaveReader, IgnoresASamplerChunkBeforeTheData)
{
    const Parsed parsed = parse(WaveImage().format().sampler(1, 10, 20).data(400));
    ASSERT_TRUE(parsed.accepted);
    EXPECT_FALSE(parsed.sample.hasLoop);
}

TEST(WaveReader, ALaterValidSamplerChunkReplacesAnEarlierOne)
{
    const Parsed replaced = parse(stereo16().sampler(1, 10, 20).sampler(1, 30, 40));
    ASSERT_TRUE(replaced.sample.hasLoop);
    EXPECT_EQ(replaced.sample.loopStart, 30u);
    EXPECT_EQ(replaced.sample.loopEnd, 40u);

    // An invalid later chunk never clears a loop already taken.
    const Parsed kept = parse(stereo16().sampler(1, 10, 20).sampler(0, 30, 40).sampler(1, 50, 50));
    ASSERT_TRUE(kept.sample.hasLoop);
    EXPECT_EQ(kept.sample.loopStart, 10u);
    EXPECT_EQ(kept.sample.loopEnd, 20u);
}

TEST(WaveReader, SkipsADataChunkTooLargeToCount)
{
    // A data body of 2^31 bytes does not fit the record's 32-bit signed size; a usable data chunk
    // behind it is taken instead. The pages in between are reserved, never touched.
    const size_t hugeData = size_t{1} << 31;
    const auto head =
        WaveImage().format(1, 1, 44100, 8).raw("data").u32(static_cast<uint32_t>(hugeData)).bytes();
    const auto tail = WaveImage().chunk("data", {1, 2, 3, 4}).bytes();
    const size_t tailOffset = head.size() + hugeData;
    const size_t size = tailOffset + tail.size() - 12;

    void* memory =
        mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* image = static_cast<uint8_t*>(memory);
    std::memcpy(image, head.data(), head.size());
    std::memcpy(image + tailOffset, tail.data() + 12, tail.size() - 12); // the chunk without RIFF header

    WaveSample sample;
    EXPECT_TRUE(parseWaveImage(sample, image, size));
    EXPECT_EQ(sample.dataSize, 4);
    EXPECT_EQ(sample.data, image + tailOffset + 8);
    munmap(memory, size);
}
