// The audio file writer, whichever the platform builds (libsndfile or our own RIFF writer): the files
// are read back here byte by byte, so both are held to the same WAV layout.
#include "tools/render/AudioFileWriter.h"

#include "tests/render/FolderTest.h"
#include "tests/support/WaveFile.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Taviro::Render;
namespace fs = std::filesystem;

using AudioFileWriterTest = Taviro::Test::FolderTest;
using Taviro::Test::entryCount;
using Taviro::Test::fileContents;
using Taviro::Test::littleEndian;
using Taviro::Test::waveChunks;
using Taviro::Test::waveSample;

TEST_F(AudioFileWriterTest, OnlyACommitPutsTheFileInPlaceWithOversClippedIn24BitAndNoTimeStamp)
{
    const double left[] = {0.5, 1.5, -2.0};
    const double right[] = {-0.25, 0.75, 0.0};
    for (SampleFormat format : {SampleFormat::Pcm24, SampleFormat::Float32})
    {
        const bool pcm = format == SampleFormat::Pcm24;
        const std::string name = pcm ? "pcm.wav" : "float.wav";
        SCOPED_TRACE(name);
        AudioFileWriter writer((folder / name).string(), 44100, format);
        writer.write(left, right, 3);
        // Until the commit the samples go to a hidden file beside the target.
        ASSERT_EQ(entryCount(folder), pcm ? 1 : 2);
        EXPECT_FALSE(fs::exists(folder / name));
        int temporaries = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            temporaries += entry.path().filename().string().rfind("." + name + ".", 0) == 0;
        EXPECT_EQ(temporaries, 1);
        writer.commit();
        EXPECT_EQ(entryCount(folder), pcm ? 1 : 2) << "renamed into place, nothing left beside it";

        const auto chunks = waveChunks(fileContents(folder / name));
        ASSERT_TRUE(chunks.contains("fmt ") && chunks.contains("data"));
        const std::string& fmt = chunks.at("fmt ");
        const std::uint32_t bytesPerSample = pcm ? 3 : 4;
        ASSERT_GE(fmt.size(), 16u);
        EXPECT_EQ(littleEndian(fmt, 0, 2), pcm ? 1u : 3u) << "integer PCM or IEEE float";
        EXPECT_EQ(littleEndian(fmt, 2, 2), 2u) << "channels";
        EXPECT_EQ(littleEndian(fmt, 4, 4), 44100u) << "frames per second";
        EXPECT_EQ(littleEndian(fmt, 8, 4), 44100u * 2 * bytesPerSample) << "bytes per second";
        EXPECT_EQ(littleEndian(fmt, 12, 2), 2 * bytesPerSample) << "bytes per frame";
        EXPECT_EQ(littleEndian(fmt, 14, 2), 8 * bytesPerSample) << "bits per sample";
        // No chunk with the time of writing, which would make equal renders differ.
        EXPECT_FALSE(chunks.contains("PEAK"));

        const std::string& data = chunks.at("data");
        ASSERT_EQ(data.size(), 3 * 2 * bytesPerSample);
        // Interleaved left, right. Overs clip at full scale in 24-bit files instead of wrapping
        // around to the other sign; float files keep them.
        const double expected[] = {0.5, -0.25, pcm ? 1.0 : 1.5, 0.75, pcm ? -1.0 : -2.0, 0.0};
        for (int i = 0; i < 6; ++i)
        {
            const double value = waveSample(data, i * bytesPerSample, pcm);
            EXPECT_NEAR(value, pcm ? expected[i] : static_cast<float>(expected[i]), pcm ? 1.0 / 8388608 : 0)
                << i;
        }
    }

    // Without a commit (a failed render) nothing is left, and an older file stays as it was.
    fs::remove(folder / "float.wav");
    std::ofstream(folder / "pcm.wav") << "earlier render";
    for (const char* name : {"new.wav", "pcm.wav"})
    {
        AudioFileWriter writer((folder / name).string(), 48000, SampleFormat::Pcm24);
        writer.write(left, right, 3);
        EXPECT_EQ(entryCount(folder), 2) << "the temporary file beside the old one";
        EXPECT_FALSE(fs::exists(folder / "new.wav")) << "not under its name before the commit";
    }
    EXPECT_EQ(entryCount(folder), 1);
    EXPECT_EQ(fileContents(folder / "pcm.wav"), "earlier render");
    // A commit replaces the older file.
    AudioFileWriter writer((folder / "pcm.wav").string(), 48000, SampleFormat::Pcm24);
    writer.write(left, right, 3);
    writer.commit();
    EXPECT_EQ(entryCount(folder), 1);
    const auto replaced = waveChunks(fileContents(folder / "pcm.wav"));
    ASSERT_TRUE(replaced.contains("fmt "));
    EXPECT_EQ(littleEndian(replaced.at("fmt "), 4, 4), 48000u);
}
