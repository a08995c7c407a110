// Sound end to end: notes reach the output bus of their MIDI channel and no other.

#include "tests/support/HostedPlugIn.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::HostedPlugIn;

namespace {

class SoundIntegrationTest : public ::testing::TestWithParam<int32>
{
protected:
    HostedPlugIn plugIn;
};

TEST_P(SoundIntegrationTest, ANoteOnMidiChannelThreeSoundsOnOutputBusTwoOnly)
{
    constexpr int32 kBlock = 256;
    constexpr int32 kNoteOffset = 10;
    ASSERT_TRUE(plugIn.start(GetParam(), 48000.0, kBlock));
    Event note = makeNoteOn(kNoteOffset, 2, 60, 1.f, 1);
    plugIn.events.addEvent(note);

    double peak = 0.0;
    for (int32 block = 0; block < 8; ++block)
    {
        ASSERT_EQ(plugIn.run(), kResultOk);
        for (int32 bus = 0; bus < 16; ++bus)
        {
            for (int32 c = 0; c < 2; ++c)
            {
                for (int32 i = 0; i < kBlock; ++i)
                {
                    const double s = plugIn.outputSample(bus, c, i);
                    ASSERT_TRUE(std::isfinite(s));
                    const bool silentHere = bus != 2 || (block == 0 && i < kNoteOffset);
                    if (silentHere)
                        ASSERT_EQ(s, 0.0) << "bus " << bus << " channel " << c << " block " << block << " sample " << i;
                    else
                        peak = std::max(peak, std::fabs(s));
                }
            }
        }
    }
    EXPECT_GT(peak, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, SoundIntegrationTest, ::testing::Values(kSample32, kSample64),
                         [](const auto& info) { return info.param == kSample32 ? "32bit" : "64bit"; });

} // namespace
