#include "tools/render/AudioFileWriter.h"

#include "tests/render/FolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sndfile.h>

using namespace Taviro::Render;
namespace fs = std::filesystem;

namespace
{

class AudioFileWriterTest : public Taviro::Test::FolderTest
{
  protected:
    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

struct ReadBack
{
    SF_INFO info{};
    std::vector<double> samples;
};

ReadBack readBack(const fs::path& path)
{
    ReadBack result;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &result.info);
    if (!file)
        return result;
    result.samples.resize(static_cast<std::size_t>(result.info.frames * result.info.channels));
    sf_readf_double(file, result.samples.data(), result.info.frames);
    sf_close(file);
    return result;
}

} // namespace

TEST_F(AudioFileWriterTest, CommittedFileHoldsTheFramesInTheChosenFormatAndNothingElseIsLeft)
{
    const double left[] = {0.0, 0.5, -0.25, 1.5, -2.0};
    const double right[] = {0.125, -0.5, 0.75, 0.1, 0.2};
    for (SampleFormat format : {SampleFormat::Pcm24, SampleFormat::Float32})
    {
        fs::path path = folder / (format == SampleFormat::Pcm24 ? "pcm.wav" : "float.wav");
        AudioFileWriter writer(path.string(), 44100, format);
        writer.write(left, right, 3);
        writer.write(left + 3, right + 3, 2);
        writer.commit();

        ReadBack file = readBack(path);
        EXPECT_EQ(file.info.samplerate, 44100);
        EXPECT_EQ(file.info.channels, 2);
        ASSERT_EQ(file.info.frames, 5);
        EXPECT_EQ(file.info.format,
                  SF_FORMAT_WAV | (format == SampleFormat::Pcm24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT));
        const double tolerance = format == SampleFormat::Pcm24 ? 1.0 / (1 << 23) : 0.0;
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(file.samples[2 * i], left[i], tolerance) << i;
            EXPECT_NEAR(file.samples[2 * i + 1], right[i], tolerance) << i;
        }
        if (format == SampleFormat::Pcm24)
        {
            // Overs clip at full scale instead of wrapping around to the other sign.
            EXPECT_GT(file.samples[6], 0.99);
            EXPECT_LT(file.samples[8], -0.99);
        }
        else
        {
            EXPECT_EQ(file.samples[6], 1.5);
            EXPECT_EQ(file.samples[8], -2.0);
        }
    }
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"float.wav", "pcm.wav"}));

    // No chunk with the time of writing, which would make equal renders differ.
    std::ifstream floatFile(folder / "float.wav", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(floatFile)), {});
    EXPECT_EQ(bytes.find("PEAK"), std::string::npos);
}

TEST_F(AudioFileWriterTest, AnUncommittedWriterLeavesNoFileAndAnOlderFileUntouched)
{
    const double silence[4] = {};
    {
        AudioFileWriter writer((folder / "new.wav").string(), 48000, SampleFormat::Pcm24);
        writer.write(silence, silence, 4);
        EXPECT_EQ(filesInFolder().size(), 1u) << "the temporary file";
        EXPECT_FALSE(fs::exists(folder / "new.wav")) << "not under its name before the commit";
    }
    EXPECT_TRUE(filesInFolder().empty());

    std::ofstream(folder / "old.wav") << "earlier render";
    {
        AudioFileWriter writer((folder / "old.wav").string(), 48000, SampleFormat::Pcm24);
        writer.write(silence, silence, 4);
    }
    std::ifstream old(folder / "old.wav");
    std::string text;
    std::getline(old, text);
    EXPECT_EQ(text, "earlier render");
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"old.wav"});
}

TEST_F(AudioFileWriterTest, UnwritablePlacesAreReportedWithThePath)
{
    for (fs::path path : {folder / "missing" / "out.wav", folder})
    {
        try
        {
            AudioFileWriter writer(path.string(), 48000, SampleFormat::Float32);
            FAIL() << "opened " << path;
        }
        catch (const AudioFileError& error)
        {
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
        }
    }
}
