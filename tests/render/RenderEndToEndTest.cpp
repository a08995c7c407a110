// Runs taviro-render on the built bundle as a user would and checks the audio files it writes.

#include "tools/render/MidiTiming.h"
#include "tools/render/SmfWriter.h"

#include "tests/render/FolderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <sndfile.h>
#include <tuple>

using namespace Taviro::Render;
namespace fs = std::filesystem;

namespace
{

using Taviro::Test::fileContents;

struct ToolRun
{
    int exitCode = -1;
    std::string output; // standard output and standard error
};

ToolRun runTool(const std::vector<std::string>& arguments, const fs::path& folder)
{
    // The arguments used here hold no single quotes. The output goes beside the folder, not into it.
    const std::string log = folder.string() + ".log";
    std::string command = "cd '";
    command.append(folder.string()).append("' && '").append(TAVIRO_RENDER_TOOL).append("'");
    for (const std::string& argument : arguments)
        command.append(" '").append(argument).append("'");
    command.append(" >'").append(log).append("' 2>&1 </dev/null");
    int status = std::system(command.c_str());
    ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileContents(log)};
    fs::remove(log);
    return run;
}

// A stereo file, its samples interleaved.
struct Audio
{
    int sampleRate = 0;
    std::vector<double> samples;

    std::size_t frames() const { return samples.size() / 2; }
    double left(std::size_t frame) const { return samples[2 * frame]; }
};

Audio readAudio(const fs::path& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_TRUE(file && info.channels == 2) << "cannot read stereo file " << path;
    Audio audio{info.samplerate, std::vector<double>(static_cast<std::size_t>(info.frames * info.channels))};
    if (file)
    {
        sf_readf_double(file, audio.samples.data(), info.frames);
        sf_close(file);
    }
    return audio;
}

double peakOf(const Audio& audio, std::size_t fromFrame = 0)
{
    double peak = 0;
    for (std::size_t i = 2 * fromFrame; i < audio.samples.size(); ++i)
        peak = std::max(peak, std::abs(audio.samples[i]));
    return peak;
}

double largestDifference(const Audio& a, const Audio& b)
{
    EXPECT_EQ(a.frames(), b.frames());
    double largest = 0;
    for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i)
        largest = std::max(largest, std::abs(a.samples[i] - b.samples[i]));
    return largest;
}

// How far apart the shapes of two magnitude spectra of the left channel are (0 to 5 kHz in 11.7 Hz
// bins, each scaled to unit length): 0 for the same shape, up to 1 for no frequency in common.
double spectralDistance(const Audio& audio, std::size_t start, std::size_t otherStart)
{
    constexpr std::size_t length = 4096;
    const std::size_t bins = static_cast<std::size_t>(5000.0 * length / audio.sampleRate);
    auto shape = [&](std::size_t from)
    {
        std::vector<double> magnitudes(bins);
        double norm = 0;
        for (std::size_t k = 1; k < bins; ++k)
        {
            std::complex<double> sum;
            for (std::size_t n = 0; n < length && from + n < audio.frames(); ++n)
                sum += audio.left(from + n) * (0.5 - 0.5 * std::cos(2 * M_PI * n / length)) *
                       std::polar(1.0, -2 * M_PI * k * n / length);
            magnitudes[k] = std::abs(sum);
            norm += magnitudes[k] * magnitudes[k];
        }
        for (double& value : magnitudes)
            value /= norm > 0 ? std::sqrt(norm) : 1.0;
        return magnitudes;
    };
    auto a = shape(start), b = shape(otherStart);
    return 1.0 - std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
}

class RenderEndToEnd : public Taviro::Test::FolderTest
{
  protected:
    std::string writeMidi(const std::string& name, const SmfWriter& writer)
    {
        auto bytes = writer.build();
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return name;
    }

    // Notes for one second on MIDI channels 1 (piano), 4 (strings) and 10 (drums).
    std::string threeChannelSong()
    {
        SmfWriter song(480); // at the default 120 bpm: 960 ticks a second
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

TEST_F(RenderEndToEnd, StemsCarryOnlyThePlayingChannelsTheMixIsTheirSumRendersRepeatAndTailsEnd)
{
    auto midi = threeChannelSong();
    ToolRun run = render({midi, "--format", "float", "--stems", "stems", "--out", "mix.wav"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    Audio mix = readAudio(folder / "mix.wav");
    Audio sum{48000, std::vector<double>(mix.samples.size())};
    for (int channel = 1; channel <= 16; ++channel)
    {
        std::string name = (channel < 10 ? "channel-0" : "channel-") + std::to_string(channel) + ".wav";
        Audio stem = readAudio(folder / "stems" / name);
        ASSERT_EQ(stem.frames(), mix.frames()) << name;
        const bool plays = channel == 1 || channel == 4 || channel == 10;
        EXPECT_TRUE(plays ? peakOf(stem) > 1e-2 : peakOf(stem) == 0.0)
            << name << (plays ? " silent" : " sounds");
        for (std::size_t i = 0; i < stem.samples.size(); ++i)
            sum.samples[i] += stem.samples[i];
    }
    EXPECT_LT(largestDifference(mix, sum), 1e-6);

    // The same render again gives the same bytes (24-bit files: the demo below); 64-bit processing
    // agrees closely.
    ASSERT_EQ(render({midi, "--format", "float", "--out", "again.wav"}).exitCode, 0);
    EXPECT_EQ(fileContents(folder / "mix.wav"), fileContents(folder / "again.wav"));
    ToolRun first = render({midi, "--out", "first.wav"});
    ASSERT_EQ(first.exitCode, 0) << first.output;

    // The song's last note-off is at one second (48000 samples, 93.75 blocks of 512): the release
    // after it is rendered, unless the tail limit cuts it, which earns a warning.
    EXPECT_GT(readAudio(folder / "first.wav").frames(), 48128u);
    EXPECT_EQ(first.output.find("warning"), std::string::npos) << first.output;
    ToolRun cut = render({midi, "--tail", "0", "--out", "cut.wav"});
    ASSERT_EQ(cut.exitCode, 0) << cut.output;
    EXPECT_EQ(readAudio(folder / "cut.wav").frames(), 48128u) << "up to the block that holds the song's end";
    EXPECT_NE(cut.output.find("warning: notes still sounded"), std::string::npos) << cut.output;
    ASSERT_EQ(render({midi, "--format", "float", "--64", "--out", "double.wav"}).exitCode, 0);
    EXPECT_LT(largestDifference(mix, readAudio(folder / "double.wav")), 1e-4);
}

TEST_F(RenderEndToEnd, AProgramChangeChangesTheSoundAndUserOnePlaysItsSineAtPitch)
{
    // Channel 2 plays A3 as "Piano Cologne", then as "Synth Bass"; channel 3 plays the same two
    // notes without a program change, to show that the same note alone compares as equal.
    // Channel 4 plays A4 on "USER 1", a plain sine in a new state: 440 Hz.
    SmfWriter song(480);
    song.addTrack("parts");
    for (int channel : {1, 2})
    {
        song.programChange(0, channel, 0);
        song.note(0, 600, channel, 57, 100);
        song.note(960, 600, channel, 57, 100);
    }
    song.programChange(900, 1, 5);
    song.programChange(0, 3, 15);
    song.note(0, 1440, 3, 69, 100);
    // At 44.1 kHz in blocks of 64, to show that the options take effect.
    ToolRun run = render({writeMidi("programs.mid", song), "--format", "float", "--stems", "stems", "--rate",
                          "44100", "--block-size=64"});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    Audio changed = readAudio(folder / "stems" / "channel-02.wav");
    Audio same = readAudio(folder / "stems" / "channel-03.wav");
    ASSERT_EQ(changed.sampleRate, 44100);
    const std::size_t first = 44100 * 5 / 100, second = 44100 + first; // 50 ms into each note
    EXPECT_LT(spectralDistance(same, first, second), 0.02);
    EXPECT_GT(spectralDistance(changed, first, second), 0.2);

    // Upward zero crossings over one second, from 0.2 s on, count the cycles.
    Audio sine = readAudio(folder / "stems" / "channel-04.wav");
    ASSERT_GT(sine.frames(), 60000u);
    int cycles = 0;
    for (std::size_t i = 8820; i < 8820 + 44100; ++i)
        cycles += sine.left(i) < 0 && sine.left(i + 1) >= 0;
    EXPECT_NEAR(cycles, 440, 1);
}

TEST_F(RenderEndToEnd, WithoutArgumentsTheDemoSongGoesToTaviroDemoWavHere)
{
    ToolRun run = runTool({}, folder); // the bundle beside the tool, found without help
    ASSERT_EQ(run.exitCode, 0) << run.output;
    fs::path written = folder / "taviro-demo.wav";
    EXPECT_NE(run.output.find(fs::absolute(written).string()), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;

    Audio demo = readAudio(written);
    EXPECT_GT(peakOf(demo), 0.1) << "clearly audible";
    // The file is 24-bit, where overs would be clipped: the summary gives the true peak.
    auto peakAt = run.output.find("peak ");
    ASSERT_NE(peakAt, std::string::npos) << run.output;
    EXPECT_LT(std::stod(run.output.substr(peakAt + 5)), -0.5) << "the mix stays below full scale";
    EXPECT_LT(peakOf(demo, demo.frames() - 64), 1e-3) << "the render runs until every voice has ended";

    // Exported as a MIDI file, the demo song renders to the same bytes.
    ASSERT_EQ(render({"--write-demo-midi", "demo.mid"}).exitCode, 0);
    ASSERT_EQ(render({"demo.mid"}).exitCode, 0);
    EXPECT_EQ(fileContents(written), fileContents(folder / "demo.wav"));

    // The song: 30 to 60 seconds of a band of factory programs, one a channel, with drums on
    // channel 10, pitch bend and mod wheel.
    auto song = readMidiFile((folder / "demo.mid").string());
    double seconds = TempoMap(song, 48000).secondsAt(song.endTick);
    EXPECT_TRUE(seconds >= 30 && seconds <= 60) << seconds;
    std::set<int> programs, channelsWithProgram;
    std::map<int, int> notesOnChannel;
    int lastBend = -1, lastModWheel = -1;
    for (const MidiEvent& e : song.events)
    {
        if (e.type == MidiEventType::ProgramChange && e.channel != 9 && e.data1 <= 14) // factory programs
        {
            programs.insert(e.data1);
            channelsWithProgram.insert(e.channel);
        }
        if (e.type == MidiEventType::NoteOn)
            ++notesOnChannel[e.channel];
        if (e.type == MidiEventType::PitchBend)
            lastBend = e.pitchBendValue();
        if (e.type == MidiEventType::ControlChange && e.data1 == 1)
            lastModWheel = e.data2;
    }
    EXPECT_GE(programs.size(), 6u) << "several different instruments";
    EXPECT_EQ(programs.size(), channelsWithProgram.size()) << "on channels of their own";
    EXPECT_EQ(notesOnChannel.size(), channelsWithProgram.size() + 1) << "they play, and so do the drums";
    EXPECT_GT(notesOnChannel[9], 100) << "the drum channel carries a groove";
    EXPECT_EQ(lastBend, 8192) << "pitch bend is used and returns to the centre";
    EXPECT_EQ(lastModWheel, 0) << "the mod wheel is used and returns to rest";
}

TEST_F(RenderEndToEnd, FailuresSayWhatIsWrongExitNonZeroAndLeaveNoOutput)
{
    auto midi = threeChannelSong();
    std::ofstream(folder / "broken.mid") << "MThd this is not a MIDI file";
    // One tick per quarter at the slowest tempo, then 45000 of the longest delta times (each before
    // an empty text event): the song's end lies beyond 64 bits of samples.
    std::string track("\x00\xFF\x51\x03\xFF\xFF\xFF", 7);
    for (int i = 0; i < 45000; ++i)
        track.append("\xFF\xFF\xFF\x7F\xFF\x01\x00", 7);
    track.append("\x00\xFF\x2F\x00", 4);
    const auto size = static_cast<std::uint32_t>(track.size());
    std::ofstream(folder / "endless.mid", std::ios::binary)
        << std::string("MThd\0\0\0\x06\0\0\0\x01\0\x01MTrk", 18) << char(size >> 24) << char(size >> 16)
        << char(size >> 8) << char(size) << track;
    const std::string bundle = TAVIRO_BUNDLE_DIR;
    // Each with a word of its message and its exit status, 2 for a usage error.
    const std::tuple<std::vector<std::string>, std::string, int> failures[] = {
        {{"--plugin", (folder / "Nowhere.vst3").string(), midi, "--stems", "stems"}, "Nowhere.vst3", 1},
        {{"--plugin", bundle, "absent.mid"}, "absent.mid", 1},
        {{"--plugin", bundle, "broken.mid", "--stems", "stems"}, "broken.mid", 1},
        {{"--plugin", bundle, "endless.mid"}, "longer than the two hours", 1},
        {{"--plugin", bundle, midi, "--out", (folder / "no" / "such.wav").string()}, "such.wav", 1},
        {{"--frobnicate"}, "unknown option --frobnicate", 2},
        {{"--out"}, "--out needs a value", 2},
        {{"--rate", "fast"}, "fast", 2},
        {{"--rate", "1000"}, "8000 to 384000", 2},
        {{"--block-size", "9000"}, "--block-size", 2},
        {{"--precision", "16"}, "32 or 64", 2},
        {{"--format", "mp3"}, "24 or float", 2},
        {{"--tail", "-1"}, "--tail", 2},
        {{"a.mid", "b.mid"}, "more than one", 2},
        {{"--64=yes"}, "takes no value", 2},
        {{"--info", "a.mid"}, "--info", 2},
    };
    for (const auto& [arguments, named, exitCode] : failures)
    {
        ToolRun run = runTool(arguments, folder);
        EXPECT_EQ(run.exitCode, exitCode) << named;
        EXPECT_NE(run.output.find(named), std::string::npos) << run.output;
    }
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().extension(), ".mid") << "left behind: " << entry.path();
}
