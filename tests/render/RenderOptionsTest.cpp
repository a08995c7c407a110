#include "tools/render/RenderOptions.h"
#include "tools/render/Progress.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Taviro::Render;

namespace
{

RenderOptions parse(std::vector<std::string> arguments)
{
    return parseCommandLine(arguments);
}

std::string usageErrorOf(std::vector<std::string> arguments)
{
    try
    {
        parseCommandLine(arguments);
    }
    catch (const UsageError& error)
    {
        return error.what();
    }
    return "";
}

} // namespace

TEST(RenderOptions, NoArgumentsRenderTheDemoSongToTaviroDemoWav)
{
    auto options = parse({});
    EXPECT_TRUE(options.midiFile.empty());
    EXPECT_EQ(defaultOutputFile(options), "taviro-demo.wav");
    EXPECT_EQ(options.sampleRate, 48000);
    EXPECT_EQ(options.blockSize, 512);
    EXPECT_FALSE(options.doublePrecision);
    EXPECT_EQ(options.format, SampleFormat::Pcm24);
}

TEST(RenderOptions, ReadsEveryOptionInBothSpellings)
{
    auto options =
        parse({"--rate", "44100", "--block-size=64", "--64", "--format", "float", "--stems", "out/stems",
               "--plugin=/opt/TaviroPlugIn.vst3", "-o", "mix.wav", "songs/tune.mid", "--tail", "2.5"});
    EXPECT_EQ(options.sampleRate, 44100);
    EXPECT_EQ(options.blockSize, 64);
    EXPECT_TRUE(options.doublePrecision);
    EXPECT_EQ(options.format, SampleFormat::Float32);
    EXPECT_EQ(options.stemsFolder, "out/stems");
    EXPECT_EQ(options.pluginPath, "/opt/TaviroPlugIn.vst3");
    EXPECT_EQ(options.midiFile, "songs/tune.mid");
    EXPECT_EQ(defaultOutputFile(options), "mix.wav");
    EXPECT_DOUBLE_EQ(options.tailLimitSeconds, 2.5);

    EXPECT_FALSE(parse({"--precision", "64", "--precision=32"}).doublePrecision);
    EXPECT_TRUE(parse({"--precision=64"}).doublePrecision);
    EXPECT_EQ(parse({"--format=24"}).format, SampleFormat::Pcm24);
    EXPECT_EQ(defaultOutputFile(parse({"songs/tune.mid"})), "tune.wav") << "written to the current folder";
    EXPECT_TRUE(parse({"--info"}).showInfo);
    EXPECT_TRUE(parse({"-h"}).showHelp);
}

TEST(RenderOptions, RejectsWhatItCannotUseWithAReason)
{
    EXPECT_NE(usageErrorOf({"--frobnicate"}).find("unknown option --frobnicate"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--out"}).find("--out needs a value"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--rate", "44.1k"}).find("44.1k"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--rate", "1000"}).find("8000 to 384000"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--block-size", "0"}).find("--block-size"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--block-size", "9000"}).find("--block-size"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--precision", "16"}).find("32 or 64"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--format", "mp3"}).find("24 or float"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--tail", "-1"}).find("--tail"), std::string::npos);
    EXPECT_NE(usageErrorOf({"a.mid", "b.mid"}).find("more than one"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--64=yes"}).find("takes no value"), std::string::npos);
    EXPECT_NE(usageErrorOf({"--info", "a.mid"}).find("--info"), std::string::npos);
}

TEST(Progress, LineShowsPositionTotalAndSpeedAndTheTailPastTheEnd)
{
    EXPECT_EQ(progressLine(15.0, 30.0, 2.0, 10), "[#####.....] 15.0 s / 30.0 s, 2.0x real time");
    EXPECT_EQ(progressLine(0.0, 30.0, 0.0, 4), "[....] 0.0 s / 30.0 s");
    EXPECT_EQ(progressLine(31.26, 30.0, 12.34, 4), "[####] 31.3 s / 30.0 s (tail), 12.3x real time");
}

TEST(Progress, PeakIsGivenInDecibelsBelowFullScale)
{
    EXPECT_EQ(peakText(1.0), "0.0 dBFS");
    EXPECT_EQ(peakText(0.5), "-6.0 dBFS");
    EXPECT_EQ(peakText(0.1), "-20.0 dBFS");
    EXPECT_EQ(peakText(2.0), "6.0 dBFS");
    EXPECT_EQ(peakText(0.0), "-inf dBFS");
}
