// The reader on an image larger than its record can count, laid out in reserved pages (Linux).
#include "tests/samples/WaveImages.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::WaveReader;

namespace {

TEST_F(WaveReader, SkipsADataChunkTooLargeToCount)
{
    // A data body of 2^31 bytes does not fit the record's 32-bit signed size; a usable data chunk
    // behind it is taken instead. The pages in between are reserved, never touched.
    const size_t huge = size_t{1} << 31;
    const S head = riff(fmt(1, 1, 8) + "data" + u32(huge)), tail = chunk("data", "abcd");
    const size_t size = head.size() + huge + tail.size();
    void* memory =
        mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* image = static_cast<char*>(memory);
    head.copy(image, head.size());
    tail.copy(image + size - tail.size(), tail.size());
    WaveSample sample;
    EXPECT_TRUE(parseWaveImage(sample, reinterpret_cast<uint8_t*>(image), size));
    EXPECT_EQ(sample.dataSize, 4);
    EXPECT_EQ(sample.data, reinterpret_cast<uint8_t*>(image) + size - 4);
    munmap(memory, size);
}

} // namespace
