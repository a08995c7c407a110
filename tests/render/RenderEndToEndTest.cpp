// Runs taviro-render on the built bundle as a user would and checks the audio files it writes.

#include "tools/render/SmfWriter.h"

#include "tests/render/FolderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sndfile.h>

using Taviro::Render::SmfWriter;
namespace fs = std::filesystem;

namespace
{

struct ToolRun
{
    int exitCode = -1;
    std::string output; // standard output and standard error
};

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

ToolRun runTool(const std::vector<std::string>& arguments, const fs::path& folder)
{
    std::string command = "cd ";
    command.append(quoted(folder.string())).append(" && ").append(quoted(TAVIRO_RENDER_TOOL));
    for (const std::string& argument : arguments)
        command.append(1, ' ').append(quoted(argument));
    command += " 2>&1 </dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct Audio
{
    int sampleRate = 0;
    std::vector<double> left, right;

    std::size_t frames() const { return left.size(); }
};

Audio readAudio(const fs::path& path)
{
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file || info.channels != 2)
    {
        if (file)
            sf_close(file);
        ADD_FAILURE() << "cannot read stereo file " << path;
        return audio;
    }
    std::vector<double> interleaved(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_double(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.sampleRate = info.samplerate;
    for (std::size_t i = 0; i < interleaved.size(); i += 2)
    {
        audio.left.push_back(interleaved[i]);
        audio.right.push_back(interleaved[i + 1]);
    }
    return audio;
}

double peakOf(const Audio& audio)
{
    double peak = 0;
    for (std::size_t i = 0; i < audio.frames(); ++i)
        peak = std::max({peak, std::abs(audio.left[i]), std::abs(audio.right[i])});
    return peak;
}

double rmsOf(const Audio& audio)
{
    double sum = 0;
    for (std::size_t i = 0; i < audio.frames(); ++i)
        sum += audio.left[i] * audio.left[i] + audio.right[i] * audio.right[i];
    return audio.frames() ? std::sqrt(sum / (2.0 * audio.frames())) : 0.0;
}

double largestDifference(const Audio& a, const Audio& b)
{
    EXPECT_EQ(a.frames(), b.frames());
    double largest = 0;
    for (std::size_t i = 0; i < std::min(a.frames(), b.frames()); ++i)
        largest = std::max({largest, std::abs(a.left[i] - b.left[i]), std::abs(a.right[i] - b.right[i])});
    return largest;
}

// Magnitude spectrum of the left channel from `start`, 0 to 5 kHz in 11.7 Hz bins, scaled to
// unit length so that only its shape counts.
std::vector<double> spectrumShape(const Audio& audio, std::size_t start)
{
    constexpr std::size_t length = 4096;
    const std::size_t bins = static_cast<std::size_t>(5000.0 * length / audio.sampleRate);
    std::vector<double> shape(bins);
    double norm = 0;
    for (std::size_t k = 1; k < bins; ++k)
    {
        std::complex<double> sum;
        for (std::size_t n = 0; n < length && start + n < audio.frames(); ++n)
        {
            double window = 0.5 - 0.5 * std::cos(2 * M_PI * n / length);
            sum += audio.left[start + n] * window * std::polar(1.0, -2 * M_PI * k * n / length);
        }
        shape[k] = std::abs(sum);
        norm += shape[k] * shape[k];
    }
    for (double& value : shape)
        value /= norm > 0 ? std::sqrt(norm) : 1.0;
    return shape;
}

// 0 for spectra of the same shape, up to 1 for spectra that share no frequency.
double spectralDistance(const std::vector<double>& a, const std::vector<double>& b)
{
    double dot = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        dot += a[i] * b[i];
    return 1.0 - dot;
}

bool sameBytes(const fs::path& a, const fs::path& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::vector<char> ba((std::istreambuf_iterator<char>(fa)), {}),
        bb((std::istreambuf_iterator<char>(fb)), {});
    return !ba.empty() && ba == bb;
}

class RenderEndToEnd : public Taviro::Test::FolderTest
{
  protected:
    fs::path writeMidi(const std::string& name, const SmfWriter& writer)
    {
        fs::path path = folder / name;
        auto bytes = writer.build();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Half-second notes on MIDI channels 1 (piano), 4 (strings) and 10 (drums).
    fs::path threeChannelSong()
    {
        SmfWriter song(480);
        song.addTrack("conductor");
        song.tempo(0, 120);
        song.addTrack("parts");
        song.programChange(0, 3, 7);
        song.note(0, 480, 0, 60, 100);
        song.note(480, 480, 0, 64, 90);
        song.note(0, 960, 3, 67, 90);
        song.note(0, 120, 9, 36, 110);
        song.note(480, 120, 9, 38, 100);
        return writeMidi("three.mid", song);
    }

    ToolRun render(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--plugin", TAVIRO_BUNDLE_DIR});
        return runTool(arguments, folder);
    }
};

} // namespace

TEST_F(RenderEndToEnd, StemsCarryOnlyTheChannelsThatPlayAndTheMixIsTheirSum)
{
    auto midi = threeChannelSong();
    ToolRun run = render({midi.string(), "--format", "float", "--stems", "stems", "--out", "mix.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    Audio mix = readAudio(folder / "mix.wav");
    ASSERT_GT(mix.frames(), 48000u) << "at least the second of the song";
    std::vector<double> sumLeft(mix.frames()), sumRight(mix.frames());
    for (int channel = 1; channel <= 16; ++channel)
    {
        char name[32];
        std::snprintf(name, sizeof name, "channel-%02d.wav", channel);
        Audio stem = readAudio(folder / "stems" / name);
        ASSERT_EQ(stem.frames(), mix.frames()) << name;
        bool plays = channel == 1 || channel == 4 || channel == 10;
        if (plays)
            EXPECT_GT(rmsOf(stem), 1e-3) << name << " should sound";
        else
            EXPECT_EQ(peakOf(stem), 0.0) << name << " should be silent";
        for (std::size_t i = 0; i < stem.frames(); ++i)
        {
            sumLeft[i] += stem.left[i];
            sumRight[i] += stem.right[i];
        }
    }
    double largest = 0;
    for (std::size_t i = 0; i < mix.frames(); ++i)
        largest =
            std::max({largest, std::abs(mix.left[i] - sumLeft[i]), std::abs(mix.right[i] - sumRight[i])});
    EXPECT_LT(largest, 1e-6);
}

TEST_F(RenderEndToEnd, RendersTheReleaseTailUntilTheVoicesEndOrTheTailLimit)
{
    // The song ends with its last note-off at one second (48000 samples, 93.75 blocks of 512).
    auto midi = threeChannelSong();
    ToolRun complete = render({midi.string(), "--out", "complete.wav"});
    ASSERT_EQ(complete.exitCode, 0) << complete.output;
    Audio withTail = readAudio(folder / "complete.wav");
    EXPECT_GT(withTail.frames(), 48128u) << "the release after the last note-off is rendered";
    EXPECT_EQ(complete.output.find("warning"), std::string::npos) << complete.output;

    ToolRun cut = render({midi.string(), "--tail", "0", "--out", "cut.wav"});
    ASSERT_EQ(cut.exitCode, 0) << cut.output;
    EXPECT_EQ(readAudio(folder / "cut.wav").frames(), 48128u) << "up to the block that holds the song's end";
    EXPECT_NE(cut.output.find("warning: notes still sounded"), std::string::npos) << cut.output;
}

TEST_F(RenderEndToEnd, AProgramChangeChangesTheSoundOfItsChannel)
{
    // Channel 2 plays A3 as "Piano Cologne", then as "Synth Bass"; channel 3 plays the same two
    // notes without a program change, to show that the same note alone compares as equal.
    SmfWriter song(480);
    song.addTrack("parts");
    for (int channel : {1, 2})
    {
        song.programChange(0, channel, 0);
        song.note(0, 600, channel, 57, 100);
        song.note(960, 600, channel, 57, 100);
    }
    song.programChange(900, 1, 5);
    auto midi = writeMidi("programs.mid", song);
    ToolRun run = render({midi.string(), "--format", "float", "--stems", "stems"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    Audio changed = readAudio(folder / "stems" / "channel-02.wav");
    Audio same = readAudio(folder / "stems" / "channel-03.wav");
    const std::size_t first = 48000 * 5 / 100, second = 48000 + first; // 50 ms into each note
    double changedDistance = spectralDistance(spectrumShape(changed, first), spectrumShape(changed, second));
    double sameDistance = spectralDistance(spectrumShape(same, first), spectrumShape(same, second));
    EXPECT_LT(sameDistance, 0.02);
    EXPECT_GT(changedDistance, 0.2);
}

TEST_F(RenderEndToEnd, TwoRendersAreIdenticalBitForBit)
{
    auto midi = threeChannelSong();
    for (std::string format : {"24", "float"})
    {
        ASSERT_EQ(render({midi.string(), "--format", format, "--out", "first.wav"}).exitCode, 0);
        ASSERT_EQ(render({midi.string(), "--format", format, "--out", "second.wav"}).exitCode, 0);
        EXPECT_TRUE(sameBytes(folder / "first.wav", folder / "second.wav")) << format;
    }
}

TEST_F(RenderEndToEnd, SingleAndDoublePrecisionAgree)
{
    auto midi = threeChannelSong();
    ASSERT_EQ(render({midi.string(), "--format", "float", "--out", "single.wav"}).exitCode, 0);
    ASSERT_EQ(render({midi.string(), "--format", "float", "--64", "--out", "double.wav"}).exitCode, 0);
    Audio single = readAudio(folder / "single.wav");
    Audio wide = readAudio(folder / "double.wav");
    EXPECT_GT(rmsOf(wide), 1e-3);
    EXPECT_LT(largestDifference(single, wide), 1e-4);
}

TEST_F(RenderEndToEnd, WithoutArgumentsTheDemoSongGoesToTaviroDemoWavHere)
{
    ToolRun run = runTool({}, folder); // the bundle beside the tool, found without help
    ASSERT_EQ(run.exitCode, 0) << run.output;
    fs::path written = folder / "taviro-demo.wav";
    EXPECT_NE(run.output.find(fs::absolute(written).string()), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("dBFS"), std::string::npos)
        << "the summary gives the peak level: " << run.output;

    Audio demo = readAudio(written);
    double seconds = static_cast<double>(demo.frames()) / demo.sampleRate;
    EXPECT_GE(seconds, 30.0);
    EXPECT_LE(seconds, 75.0);
    EXPECT_GT(peakOf(demo), 0.1) << "clearly audible";
    // The file is 24-bit, where overs would be clipped: the summary gives the true peak.
    auto peakAt = run.output.find("peak ");
    ASSERT_NE(peakAt, std::string::npos) << run.output;
    double peakDecibels = std::stod(run.output.substr(peakAt + 5));
    EXPECT_LT(peakDecibels, -0.5) << "the mix stays below full scale";
    EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;
    // The render runs until every voice has ended: the very end is silent.
    double tail = 0;
    for (std::size_t i = demo.frames() - 64; i < demo.frames(); ++i)
        tail = std::max({tail, std::abs(demo.left[i]), std::abs(demo.right[i])});
    EXPECT_LT(tail, 1e-3);

    // Exported as a MIDI file, the demo song renders to the same bytes.
    ASSERT_EQ(render({"--write-demo-midi", "demo.mid"}).exitCode, 0);
    ASSERT_EQ(render({"demo.mid"}).exitCode, 0);
    EXPECT_TRUE(sameBytes(written, folder / "demo.wav"));
}

TEST_F(RenderEndToEnd, FailuresSayWhatIsWrongExitNonZeroAndLeaveNoOutput)
{
    auto midi = threeChannelSong();
    ToolRun missingBundle =
        runTool({"--plugin", (folder / "Nowhere.vst3").string(), midi.string(), "--stems", "stems"}, folder);
    EXPECT_NE(missingBundle.exitCode, 0);
    EXPECT_NE(missingBundle.output.find("Nowhere.vst3"), std::string::npos) << missingBundle.output;

    ToolRun missingMidi = render({"absent.mid"});
    EXPECT_NE(missingMidi.exitCode, 0);
    EXPECT_NE(missingMidi.output.find("absent.mid"), std::string::npos) << missingMidi.output;

    std::ofstream(folder / "broken.mid") << "MThd this is not a MIDI file";
    ToolRun malformed = render({"broken.mid"});
    EXPECT_NE(malformed.exitCode, 0);
    EXPECT_NE(malformed.output.find("broken.mid"), std::string::npos) << malformed.output;

    ToolRun unwritable = render({midi.string(), "--out", (folder / "no" / "such" / "folder.wav").string()});
    EXPECT_NE(unwritable.exitCode, 0);
    EXPECT_NE(unwritable.output.find("folder.wav"), std::string::npos) << unwritable.output;

    ToolRun badOption = render({"--rate", "fast"});
    EXPECT_EQ(badOption.exitCode, 2);

    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().extension(), ".mid") << "left behind: " << entry.path();
}

TEST_F(RenderEndToEnd, InfoShowsWhatAHostSees)
{
    ToolRun run = render({"--info"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* expected :
         {"Audio Output MIDI channel 1\"", "Audio Output MIDI channel 16\"",
          "\"Event Input\", 16 MIDI channel(s)", "Parameters: 786", "Units: 17", "\"MIDI Channel 10\"",
          "Program lists: 16", "\"Instrument Program List MIDI channel 16\", 19 program(s)",
          "0 Piano Cologne", "18 USER 4", "\"Drum Program List MIDI channel 10\", 1 program(s)",
          "0 Drums (keys: 36 Kick Drum", "53 Ride Bell)"})
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
}
