// The same music rendered on Linux through the Linux bundle and under Wine through the Windows
// module (files written by RenderOnBothPlatforms.cmake) sounds the same: every sample agrees within
// 1e-6. The two C runtimes may round the last bit of sin, acos or pow differently; nothing else may
// differ.
#include "tests/support/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Wave
{
    std::uint32_t formatTag = 0, channels = 0, sampleRate = 0, bits = 0;
    std::vector<double> samples;
};

// A RIFF WAVE file's format and samples: 24-bit integer (scaled to +-1) or 32-bit float.
Wave readWave(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const auto chunks = Taviro::Test::waveChunks(std::string(std::istreambuf_iterator<char>(file), {}));
    if (!chunks.contains("fmt ") || !chunks.contains("data") || chunks.at("fmt ").size() < 16)
        return {};
    const std::string &fmt = chunks.at("fmt "), &data = chunks.at("data");
    const auto field = [&](std::size_t at, int size) { return Taviro::Test::littleEndian(fmt, at, size); };
    Wave wave{field(0, 2), field(2, 2), field(4, 4), field(14, 2), {}};
    const bool pcm24 = wave.formatTag == 1 && wave.bits == 24;
    if (pcm24 || (wave.formatTag == 3 && wave.bits == 32))
        for (std::size_t at = 0; at + wave.bits / 8 <= data.size(); at += wave.bits / 8)
            wave.samples.push_back(Taviro::Test::waveSample(data, at, pcm24));
    return wave;
}

class SameSound : public testing::TestWithParam<const char*>
{
};

TEST_P(SameSound, LinuxAndWindowsAgreeSampleBySample)
{
    const fs::path folder = TAVIRO_SAME_SOUND_DIR;
    const Wave onLinux = readWave(folder / (std::string("linux-") + GetParam() + ".wav"));
    const Wave onWindows = readWave(folder / (std::string("windows-") + GetParam() + ".wav"));
    ASSERT_GT(onLinux.samples.size(), 48000u * 2 * 40) << "the demo song lasts over 40 s";
    EXPECT_EQ(onWindows.formatTag, onLinux.formatTag);
    EXPECT_EQ(onWindows.bits, onLinux.bits);
    EXPECT_EQ(onWindows.channels, 2u);
    EXPECT_EQ(onWindows.sampleRate, 48000u);
    ASSERT_EQ(onWindows.samples.size(), onLinux.samples.size());

    double largest = 0.0, loudest = 0.0;
    size_t differing = 0;
    for (size_t i = 0; i < onLinux.samples.size(); ++i)
    {
        const double difference = std::fabs(onWindows.samples[i] - onLinux.samples[i]);
        differing += difference != 0.0;
        largest = std::max(largest, difference);
        loudest = std::max(loudest, std::fabs(onLinux.samples[i]));
    }
    EXPECT_GT(loudest, 0.1) << "the render is not silent";
    EXPECT_LE(largest, 1e-6);
    // Reported for the record: whether the two came out bit-identical.
    std::cout << GetParam() << ": " << differing << " of " << onLinux.samples.size()
              << " samples differ, by at most " << largest << "\n";
}

INSTANTIATE_TEST_SUITE_P(Renders, SameSound, testing::Values("32", "64", "demo"));

} // namespace
