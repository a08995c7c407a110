#include "tools/render/AudioFileWriter.h"

#include "tests/render/FolderTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sndfile.h>

using namespace Taviro::Render;
namespace fs = std::filesystem;

using AudioFileWriterTest = Taviro::Test::FolderTest;
using Taviro::Test::entryCount;
using Taviro::Test::fileContents;

TEST_F(AudioFileWriterTest, OnlyACommitPutsTheFileInPlaceWithOversClippedIn24BitAndNoTimeStamp)
{
    const double left[] = {0.5, 1.5, -2.0};
    const double right[] = {-0.25, 0.75, 0.0};
    for (SampleFormat format : {SampleFormat::Pcm24, SampleFormat::Float32})
    {
        const bool pcm = format == SampleFormat::Pcm24;
        fs::path path = folder / (pcm ? "pcm.wav" : "float.wav");
        AudioFileWriter writer(path.string(), 44100, format);
        writer.write(left, right, 3);
        writer.commit();

        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr);
        double samples[6] = {};
        EXPECT_EQ(sf_readf_double(file, samples, 3), 3);
        sf_close(file);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | (pcm ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT));
        // Overs clip at full scale in 24-bit files instead of wrapping around to the other sign.
        const double expected[] = {0.5, -0.25, pcm ? 1.0 : 1.5, 0.75, pcm ? -1.0 : -2.0, 0.0};
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(samples[i], expected[i], 1.0 / (1 << 23)) << i;
    }
    EXPECT_EQ(entryCount(folder), 2) << "the two files and nothing else";
    // No chunk with the time of writing, which would make equal renders differ.
    EXPECT_EQ(fileContents(folder / "float.wav").find("PEAK"), std::string::npos);

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
}
