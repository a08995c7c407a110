// Hosts that break the calling rules and states that were damaged on disk, through the bundle:
// every case is answered with a result code, nothing crashes, nothing is written outside the host's
// buffers, and the host never hears of a value the voices do not play.
#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::ByteStream;
using Taviro::Test::HostedPlugIn;
using Taviro::Test::reportedValue;
using Bytes = std::vector<unsigned char>;

namespace
{

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

void putDouble(Bytes& image, size_t offset, double value)
{
    std::memcpy(image.data() + offset, &value, sizeof value); // the stream is little-endian, as this machine
}

// A stream that reads or takes `good` bytes and then refuses with an error code and no bytes.
class FailingStream : public ByteStream
{
  public:
    FailingStream(Bytes bytes, size_t good) : ByteStream(std::move(bytes)), remaining(good) {}

    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        return pass(numBytes, numBytesRead) ? ByteStream::read(buffer, numBytes, numBytesRead) : kResultFalse;
    }
    tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        return pass(numBytes, numBytesWritten) ? ByteStream::write(buffer, numBytes, numBytesWritten)
                                               : kResultFalse;
    }

  private:
    bool pass(int32 numBytes, int32* done)
    {
        if (static_cast<size_t>(numBytes) <= remaining)
        {
            remaining -= static_cast<size_t>(numBytes);
            return true;
        }
        if (done)
            *done = 0;
        return false;
    }
    size_t remaining;
};

// Every sample of the block's prepared outputs on `channels` channels per bus.
std::vector<double> outputs(HostedPlugIn& plugIn, int32 channels, int32 numSamples)
{
    std::vector<double> all;
    for (int32 bus = 0; bus < 16; ++bus)
        for (int32 c = 0; c < channels; ++c)
            for (int32 i = 0; i < numSamples; ++i)
                all.push_back(plugIn.outputSample(bus, c, i));
    return all;
}

double peak(const std::vector<double>& samples, size_t from, size_t to)
{
    double p = 0.0;
    for (size_t i = from; i < to; ++i)
        p = std::max(p, std::fabs(samples[i]));
    return p;
}

// A user program damaged on disk (a multi-sample byte of 63, a volume that is not a number and
// more), then a program change to it: the 44 reports carry what the voices play.
TEST(HostMisuseIntegrationTest, ReportsOfADamagedUserProgramStayWithinZeroToOne)
{
    HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32));
    Bytes image = plugIn.state();
    const size_t user1 = 4200;                                // "USER 1"; oscillator records of 84 bytes
    putDouble(image, user1 + 0, kNaN);                        // OSC 1 volume
    image[user1 + 83] = 63;                                   // OSC 1 multi-sample set: beyond the last, 7
    putDouble(image, user1 + 84 + 56, 5.0);                   // OSC 2 detune, stored -1..+1
    image[user1 + 84 + 64] = static_cast<unsigned char>(-20); // OSC 2 octave: before the first
    putDouble(image, user1 + 84 + 66, -kInfinity);            // OSC 2 filter frequency
    image[user1 + 84 + 83] = static_cast<unsigned char>(-103); // OSC 2 set: before the first (from fuzzing)
    image[user1 + 168 + 82] = 100;                            // OSC 3 type: beyond "Multi Sample", 6
    image[user1 + 168 + 65] = static_cast<unsigned char>(-1); // OSC 3 filter type
    putDouble(image, user1 + 168 + 74, 1e300);                // OSC 3 resonance
    putDouble(image, user1 + 252, kNaN);                      // volume
    image[user1 + 260] = 7;                                   // note-off switch: any byte but 0 is on
    ASSERT_EQ(plugIn.restore(image), kResultOk);

    plugIn.inputChanges.addChange(46, 15.5 / 19.0); // channel 1 to program 15, "USER 1"
    // By parameter offset: list index / entries (type 7, set 8, filter 4, octave 17), detune
    // (d + 1) / 2, doubles within 0..1 with not-a-number as 0.
    const std::pair<int32, double> damaged[] = {{2, 0.0},  {1, 7 * 0.125}, {17, 1.0}, {22, 0.0}, {20, 0.0},
                                                {15, 0.0}, {28, 6 / 7.0},  {33, 0.0}, {35, 1.0}, {42, 0.0},
                                                {45, 1.0}};
    // The block that applies the program reports the first of them.
    std::vector<std::pair<int32, double>> reports;
    for (int block = 0; block < 44; ++block)
    {
        ASSERT_EQ(plugIn.run(), kResultOk);
        for (int32 k = 0; k < 49; ++k)
        {
            ParamValue value = -1.0;
            if (reportedValue(plugIn.outputChanges, static_cast<ParamID>(k), value))
                reports.emplace_back(k, value);
        }
    }
    ASSERT_EQ(reports.size(), 44u);
    for (const auto& [k, value] : reports)
        EXPECT_TRUE(value >= 0.0 && value <= 1.0) << "offset " << k << ": " << value;
    for (const auto& [k, expected] : damaged)
    {
        const auto found =
            std::find_if(reports.begin(), reports.end(), [k = k](const auto& r) { return r.first == k; });
        ASSERT_NE(found, reports.end()) << k;
        EXPECT_EQ(found->second, expected) << "offset " << k;
    }
}

// A sample rate that is no number, not positive or absurd is refused, and the earlier setup
// still holds: the processor then sounds exactly as one that never saw the refused setup.
TEST(HostMisuseIntegrationTest, AbsurdSampleRatesAreRefusedAndTheEarlierSetupStays)
{
    auto noteBlock = [](HostedPlugIn& plugIn, std::optional<double> refusedRate)
    {
        EXPECT_TRUE(plugIn.start(kSample32, 48000.0, 256));
        if (refusedRate)
        {
            plugIn.stop();
            ProcessSetup setup{kRealtime, kSample64, 64, *refusedRate};
            EXPECT_EQ(plugIn.processor().setupProcessing(setup), kInvalidArgument) << *refusedRate;
            EXPECT_EQ(plugIn.component().setActive(true), kResultOk);
        }
        Event note = makeNoteOn(0, 0, 69, 1.f, 1);
        plugIn.events.addEvent(note);
        EXPECT_EQ(plugIn.run(), kResultOk);
        const std::vector<double> samples = outputs(plugIn, 2, 256);
        plugIn.component().setActive(false);
        return samples;
    };
    HostedPlugIn reference;
    const std::vector<double> expected = noteBlock(reference, std::nullopt);
    ASSERT_GT(peak(expected, 0, 256), 1e-3);
    for (double rate : {kNaN, kInfinity, -kInfinity, -48000.0, 999.99, 1000000.5, 1e300,
                        std::numeric_limits<double>::denorm_min()})
    {
        HostedPlugIn plugIn;
        EXPECT_EQ(noteBlock(plugIn, rate), expected) << rate;
    }
    // The ends of the range are accepted, and another rate does change the sound.
    for (double rate : {1000.0, 1000000.0, 44100.0})
    {
        HostedPlugIn plugIn;
        ProcessSetup setup{kRealtime, kSample32, 256, rate};
        EXPECT_EQ(plugIn.processor().setupProcessing(setup), kResultOk) << rate;
    }
    HostedPlugIn other;
    ASSERT_TRUE(other.start(kSample32, 44100.0, 256));
    Event note = makeNoteOn(0, 0, 69, 1.f, 1);
    other.events.addEvent(note);
    other.run();
    EXPECT_NE(outputs(other, 2, 256), expected);
}

TEST(HostMisuseIntegrationTest, MisusedCallsAreAnsweredWithCodesAndNeverWriteOutsideTheBuffers)
{
    // `process` before any setup and while inactive: silence on whatever the host gave, and a code.
    {
        HostedPlugIn plugIn;
        ASSERT_TRUE(plugIn.data.prepare(plugIn.component(), 128, kSample32));
        for (int32 i = 0; i < 128; ++i)
            plugIn.data.outputChannel32(3, 1)[i] = 0.5f;
        Event note = makeNoteOn(0, 3, 60, 1.f, 1);
        plugIn.events.addEvent(note);
        EXPECT_EQ(plugIn.run(), kNotInitialized);
        EXPECT_EQ(peak(outputs(plugIn, 2, 128), 0, 16 * 2 * 128), 0.0);
        EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 0);
        plugIn.data.outputs = nullptr;
        EXPECT_EQ(plugIn.run(), kNotInitialized);
        EXPECT_EQ(plugIn.component().setActive(false), kResultOk); // never activated
    }

    HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32, 48000.0, 64));
    // Activated twice: the same voice pool, so the note started before goes on.
    Event note = makeNoteOn(0, 0, 60, 1.f, 1);
    plugIn.events.addEvent(note);
    ASSERT_EQ(plugIn.run(), kResultOk);
    EXPECT_EQ(plugIn.component().setActive(true), kResultOk);
    EXPECT_EQ(plugIn.component().setActive(true), kResultOk);
    ASSERT_EQ(plugIn.run(), kResultOk);
    ParamValue voices = 0.0;
    EXPECT_TRUE(reportedValue(plugIn.outputChanges, 784, voices));
    EXPECT_EQ(voices, 1 / 128.0);

    // A restore whose stream fails half way, at channel 8's OSC 1 volume: the fields before are
    // new, that double is 0.0, the rest keeps its value.
    const Bytes before = plugIn.state();
    Bytes other = before;
    for (size_t i = 8; i < other.size(); i += 8)
        other[i] ^= 0x5A;
    const size_t cut = 8 + 262 * 7;
    FailingStream failing(other, cut);
    EXPECT_EQ(plugIn.component().setState(&failing), kResultFalse);
    Bytes expected = before;
    std::copy_n(other.begin(), cut, expected.begin());
    std::fill_n(expected.begin() + cut, 8, 0);
    ASSERT_EQ(plugIn.run(), kResultOk);
    EXPECT_EQ(plugIn.state(), expected);
    // Writes refused at once, or after a few records.
    for (size_t good : {size_t(0), size_t(1000)})
    {
        FailingStream refusing({}, good);
        EXPECT_EQ(plugIn.component().getState(&refusing), kResultFalse) << good;
    }
    ASSERT_EQ(plugIn.restore(before), kResultOk);

    // Mono and 8-channel outputs: refused; a host that hands them over anyway gets sound on what
    // the voices write and silence on the rest, within the buffers it gave.
    IAudioProcessor& processor = plugIn.processor();
    for (SpeakerArrangement arrangement : {SpeakerArr::kMono, SpeakerArr::k71Cine})
    {
        std::vector<SpeakerArrangement> arrangements(16, arrangement);
        EXPECT_EQ(processor.setBusArrangements(nullptr, 0, arrangements.data(), 16), kResultFalse);
        SpeakerArrangement kept = 0;
        ASSERT_EQ(processor.getBusArrangement(kOutput, 0, kept), kResultOk);
        EXPECT_EQ(kept, SpeakerArr::kStereo);

        const int32 channels = SpeakerArr::getChannelCount(arrangement);
        ASSERT_TRUE(plugIn.data.prepare(16, channels, 64, kSample32));
        for (int32 c = 0; c < channels; ++c)
            std::fill_n(plugIn.data.outputChannel32(0, c), 64, 0.5f); // what the host's buffers held
        ASSERT_EQ(plugIn.run(), kResultOk);
        const std::vector<double> samples = outputs(plugIn, channels, 64);
        EXPECT_GT(peak(samples, 0, 64), 1e-3) << channels; // bus 0, channel 0: the note
        EXPECT_EQ(peak(samples, std::min(channels, 2) * 64, samples.size()), 0.0) << channels;
    }

    // More samples than the setup announced (64): the engine works in stretches of its own, so
    // the whole block is rendered into the buffers the host gave, as a host that sends it expects;
    // the samples after the block stay untouched.
    constexpr int32 kLong = 4000;
    ASSERT_TRUE(plugIn.data.prepare(plugIn.component(), kLong + 96, kSample32));
    for (int32 bus = 0; bus < 16; ++bus)
        for (int32 c = 0; c < 2; ++c)
            std::fill_n(plugIn.data.outputChannel32(bus, c), kLong + 96, 7.0f);
    plugIn.events.clear();
    Event late = makeNoteOn(3900, 5, 72, 1.f, 2);
    plugIn.events.addEvent(late);
    ASSERT_EQ(plugIn.run(kLong), kResultOk);
    const std::vector<double> samples = outputs(plugIn, 2, kLong + 96);
    const size_t bus5 = 5 * 2 * (kLong + 96);
    EXPECT_EQ(peak(samples, bus5, bus5 + 3900), 0.0);
    EXPECT_GT(peak(samples, bus5 + 3900, bus5 + kLong), 1e-3);
    for (size_t i = 0; i < samples.size(); ++i)
        if (i % (kLong + 96) >= kLong)
            ASSERT_EQ(samples[i], 7.0)
                << "sample " << i % (kLong + 96) << " of bus " << i / (2 * (kLong + 96));
        else
            ASSERT_TRUE(std::isfinite(samples[i]));
}

} // namespace
