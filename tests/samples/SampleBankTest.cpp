#include "source/samples/SampleBank.h"
#include "BundleResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

struct ExpectedSet
{
    std::vector<int> resourceIds;
    std::vector<int> rootKeys;
};

// The zones of the seven sets in load order.
std::vector<ExpectedSet> expectedSets()
{
    std::vector<ExpectedSet> sets;
    sets.push_back({{101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115},
                    {45, 57, 69, 81, 48, 60, 72, 84, 51, 63, 75, 42, 54, 66, 78}});
    ExpectedSet piano;
    for (int id = 116; id <= 139; ++id)
        piano.resourceIds.push_back(id);
    piano.rootKeys = {24, 36, 48, 60,  72, 84, 96, 27, 51, 63, 75, 87,
                      99, 40, 90, 102, 55, 32, 44, 56, 68, 80, 92, 104};
    sets.push_back(piano);
    sets.push_back({{141, 142, 143, 144, 145, 146, 147, 153, 149, 150, 151},
                    {42, 49, 50, 36, 43, 47, 46, 44, 53, 51, 38}});
    const int sawIds[28] = {162, 169, 176, 155, 163, 170, 177, 156, 164, 171, 178, 157, 165, 172,
                            179, 158, 166, 173, 180, 159, 167, 174, 181, 160, 168, 175, 182, 161};
    for (int offset : {0, 28, 56}) // saw, triangle, square
    {
        ExpectedSet waveform;
        for (int zone = 0; zone < 28; ++zone)
        {
            waveform.resourceIds.push_back(sawIds[zone] + offset);
            waveform.rootKeys.push_back(24 + 3 * zone);
        }
        sets.push_back(waveform);
    }
    sets.push_back({{248, 249, 239, 242, 245, 250, 240, 243}, {40, 42, 45, 48, 51, 54, 57, 60}});
    return sets;
}

// Key frequencies as the oscillators define them, worked out here independently.
double keyFrequency(int key)
{
    double accumulator = 8.175798915636872;
    for (int k = 0; k < key; ++k)
        accumulator *= 1.059463094359;
    return static_cast<float>(accumulator);
}

enum Choice
{
    off = 0,
    eGuitarClean = 1,
    piano = 2,
    drumSet = 3,
    sawAntiAliased = 4,
    mutedEGuitar = 7,
};
constexpr int kNoShift = 8;

class SampleBankTest : public testing::Test
{
  protected:
    void SetUp() override { setResourceFolder(bundleResourcesFolder()); }
    void TearDown() override
    {
        releaseSampleBank(bank);
        closeResourceStore();
    }

    // The resource that the chosen zone plays, or -1.
    int resourceOf(const ZoneChoice& choice) const
    {
        if (choice.setIndex < 0 || choice.zoneIndex < 0)
            return -1;
        const uint8_t* data = bank[choice.setIndex]->samples[choice.zoneIndex]->data;
        for (int id = 101; id <= 250; ++id)
        {
            const ResourceBytes bytes = findResource("WAVE", static_cast<uint16_t>(id));
            if (bytes.data && data >= bytes.data && data < bytes.data + bytes.size)
                return id;
        }
        return 0;
    }
    int resourcePlayed(int choice, int pitch, int octave = kNoShift) const
    {
        return resourceOf(selectZone(bank, choice, octave, pitch));
    }

    SampleBank bank;
};

TEST_F(SampleBankTest, LoadsTheSevenSetsInTableOrder)
{
    loadSampleBank(bank);
    const auto expected = expectedSets();
    ASSERT_EQ(bank.size(), 7u);
    const size_t zoneCounts[7] = {15, 24, 11, 28, 28, 28, 8};
    for (size_t set = 0; set < 7; ++set)
    {
        ASSERT_EQ(bank[set]->samples.size(), zoneCounts[set]) << set;
        ASSERT_EQ(bank[set]->rootKeys.size(), zoneCounts[set]) << set;
        for (size_t zone = 0; zone < zoneCounts[set]; ++zone)
        {
            EXPECT_EQ(bank[set]->rootKeys[zone], expected[set].rootKeys[zone]) << set << "/" << zone;
            EXPECT_EQ(resourceOf({static_cast<int>(set), static_cast<int>(zone)}),
                      expected[set].resourceIds[zone])
                << set << "/" << zone;
        }
    }
}

TEST_F(SampleBankTest, LoadsOnceAndReleasesEverything)
{
    loadSampleBank(bank);
    const WaveSample* first = bank[1]->samples[0].get();
    loadSampleBank(bank); // already loaded: kept as it is
    ASSERT_EQ(bank.size(), 7u);
    EXPECT_EQ(bank[1]->samples[0].get(), first);
    EXPECT_EQ(bank[1]->samples.size(), 24u);

    releaseSampleBank(bank);
    EXPECT_TRUE(bank.empty());
    EXPECT_EQ(selectZone(bank, piano, kNoShift, 60).setIndex, -1);

    loadSampleBank(bank);
    ASSERT_EQ(bank.size(), 7u);
    EXPECT_EQ(bank[1]->samples.size(), 24u);
}

TEST_F(SampleBankTest, NearestRootKeyWithEarlierZonesWinningTies)
{
    loadSampleBank(bank);
    EXPECT_EQ(resourcePlayed(piano, 34), 117); // 32 and 36 equally near: 36 loaded first
    EXPECT_EQ(resourcePlayed(piano, 46), 118);
    EXPECT_EQ(resourcePlayed(piano, 91), 130);
    EXPECT_EQ(resourcePlayed(piano, 103), 131);
    EXPECT_EQ(resourcePlayed(piano, 0), 116);
    EXPECT_EQ(resourcePlayed(piano, 127), 139);
    EXPECT_EQ(resourcePlayed(mutedEGuitar, 41), 248);
    EXPECT_EQ(resourcePlayed(mutedEGuitar, 127), 243);
    EXPECT_EQ(resourcePlayed(eGuitarClean, 127), 108);
    EXPECT_EQ(resourcePlayed(sawAntiAliased, 25), 162);
    EXPECT_EQ(resourcePlayed(sawAntiAliased, 26), 169);
    EXPECT_EQ(resourcePlayed(sawAntiAliased + 1, 104), 189); // triangle, root 105
    EXPECT_EQ(resourcePlayed(sawAntiAliased + 2, 60), 221);  // square, root 60
}

TEST_F(SampleBankTest, RateRatioTransposesFromTheRootKey)
{
    loadSampleBank(bank);
    const ZoneChoice low = selectZone(bank, eGuitarClean, kNoShift, 20);
    EXPECT_EQ(resourceOf(low), 112);
    EXPECT_DOUBLE_EQ(low.rateRatio, keyFrequency(20) / keyFrequency(42));
    EXPECT_NEAR(low.rateRatio, std::pow(2.0, -22.0 / 12.0), 1e-6);

    const ZoneChoice exact = selectZone(bank, piano, kNoShift, 60);
    EXPECT_EQ(resourceOf(exact), 119);
    EXPECT_EQ(exact.rateRatio, 1.0);
}

TEST_F(SampleBankTest, OctaveShiftsFoldIntoTheKeyRange)
{
    loadSampleBank(bank);
    // Pitch 100 eight octaves up: key 196 folds by 6 octaves to 124.
    const ZoneChoice high = selectZone(bank, eGuitarClean, 0, 100);
    EXPECT_EQ(resourceOf(high), 108);
    EXPECT_DOUBLE_EQ(high.rateRatio, keyFrequency(124) / keyFrequency(84) * 64.0);
    EXPECT_NEAR(high.rateRatio, std::pow(2.0, 112.0 / 12.0), 1e-3);

    const auto ratioFor = [&](int pitch, int octave)
    { return selectZone(bank, piano, octave, pitch).rateRatio; };
    // 128 -> 116, factor 2; nearest piano root 104.
    EXPECT_DOUBLE_EQ(ratioFor(116, 7), keyFrequency(116) / keyFrequency(104) * 2.0);
    // 139 -> 127, factor 2.
    EXPECT_DOUBLE_EQ(ratioFor(127, 7), keyFrequency(127) / keyFrequency(104) * 2.0);
    // 140 -> 116, factor 4.
    EXPECT_DOUBLE_EQ(ratioFor(116, 6), keyFrequency(116) / keyFrequency(104) * 4.0);
    // -1 -> 11, factor 1/2; nearest piano root 24.
    EXPECT_DOUBLE_EQ(ratioFor(11, 9), keyFrequency(11) / keyFrequency(24) * 0.5);
    // -12 -> 0, factor 1/2.
    EXPECT_DOUBLE_EQ(ratioFor(0, 9), keyFrequency(0) / keyFrequency(24) * 0.5);
    // -13 -> 11, factor 1/4.
    EXPECT_DOUBLE_EQ(ratioFor(11, 10), keyFrequency(11) / keyFrequency(24) * 0.25);
    // Octave index 16: eight octaves down from key 60 gives -36 -> 0 with factor 1/8.
    EXPECT_DOUBLE_EQ(ratioFor(60, 16), keyFrequency(0) / keyFrequency(24) * 0.125);
}

TEST_F(SampleBankTest, DrumSetPlaysOnlyDrumKeys)
{
    loadSampleBank(bank);
    const ZoneChoice pedal = selectZone(bank, drumSet, kNoShift, 44);
    EXPECT_EQ(resourceOf(pedal), 153);
    EXPECT_EQ(pedal.rateRatio, 1.0);
    const int drums[][2] = {{36, 144}, {38, 151}, {42, 141}, {43, 145}, {46, 147},
                            {47, 146}, {49, 142}, {50, 143}, {51, 150}, {53, 149}};
    for (const auto& drum : drums)
        EXPECT_EQ(resourcePlayed(drumSet, drum[0]), drum[1]) << drum[0];
    for (int key : {0, 35, 37, 39, 40, 41, 45, 48, 52, 54, 60, 127})
        EXPECT_EQ(selectZone(bank, drumSet, kNoShift, key).setIndex, -1) << key;

    // The drum test looks at the played key, the zone at the shifted one: 38 an octave up is 50.
    const ZoneChoice shifted = selectZone(bank, drumSet, 7, 38);
    EXPECT_EQ(resourceOf(shifted), 143);
    EXPECT_DOUBLE_EQ(shifted.rateRatio, 1.0);
    EXPECT_EQ(selectZone(bank, drumSet, 7, 26).setIndex, -1); // 26 + 12 = 38, but 26 is no drum key
}

TEST_F(SampleBankTest, ChoiceOffPlaysNothing)
{
    loadSampleBank(bank);
    const ZoneChoice none = selectZone(bank, off, kNoShift, 60);
    EXPECT_EQ(none.setIndex, -1);
    EXPECT_EQ(none.zoneIndex, -1);
}

TEST(NoteFrequencyTable, FollowsTheAccumulatedSemitoneRatio)
{
    EXPECT_EQ(noteFrequencyTable[69], 440.0f);
    EXPECT_EQ(noteFrequencyTable[60], 261.62558f);
    for (int key = 0; key < 128; ++key)
        EXPECT_EQ(noteFrequencyTable[key], static_cast<float>(keyFrequency(key))) << key;
}

// A bundle whose Resources folder lacks some recordings and holds one that is not a WAVE image.
class IncompleteBankTest : public SampleBankTest
{
  protected:
    void SetUp() override
    {
        const auto wave = folder.path / "WAVE";
        std::filesystem::create_directories(wave);
        for (const auto& entry : std::filesystem::directory_iterator(bundleResourcesFolder() + "/WAVE"))
        {
            const auto name = entry.path().filename().string();
            if (name != "118.wav" && name != "153.wav" && name != "101.wav")
                std::filesystem::create_symlink(entry.path(), wave / name);
        }
        std::ofstream(wave / "101.wav") << "RIFF, but not a recording";
        setResourceFolder(folder.path.string());
    }

    TemporaryFolder folder;
};

TEST_F(IncompleteBankTest, MissingRecordingsShrinkTheirSetsAndNeighboursServeTheirKeys)
{
    loadSampleBank(bank);
    ASSERT_EQ(bank.size(), 7u);
    const size_t zoneCounts[7] = {14, 23, 10, 28, 28, 28, 8};
    for (size_t set = 0; set < 7; ++set)
    {
        EXPECT_EQ(bank[set]->samples.size(), zoneCounts[set]) << set;
        EXPECT_EQ(bank[set]->rootKeys.size(), zoneCounts[set]) << set;
    }
    // Piano root 48 (118) is gone: 46 and 47 go to root 44, 48 and 49 to root 51.
    EXPECT_EQ(resourcePlayed(piano, 46), 134);
    EXPECT_EQ(resourcePlayed(piano, 47), 134);
    EXPECT_EQ(resourcePlayed(piano, 48), 124);
    EXPECT_EQ(resourcePlayed(piano, 49), 124);
    EXPECT_DOUBLE_EQ(selectZone(bank, piano, kNoShift, 48).rateRatio, keyFrequency(48) / keyFrequency(51));
    // The pedal hi-hat (153) is gone: key 44 goes to the nearest drum left, the low tom (43).
    EXPECT_EQ(resourcePlayed(drumSet, 44), 145);
    // E-Guitar root 45 (101) is unreadable: 44 goes to 42, 45 and 46 to 48.
    EXPECT_EQ(resourcePlayed(eGuitarClean, 44), 112);
    EXPECT_EQ(resourcePlayed(eGuitarClean, 46), 105);
}

TEST_F(IncompleteBankTest, ASetWithoutRecordingsKeepsItsPositionAndPlaysNothing)
{
    std::filesystem::remove_all(folder.path / "WAVE");
    loadSampleBank(bank);
    ASSERT_EQ(bank.size(), 7u);
    for (const auto& set : bank)
    {
        EXPECT_TRUE(set->samples.empty());
        EXPECT_TRUE(set->rootKeys.empty());
    }
    const ZoneChoice none = selectZone(bank, piano, kNoShift, 60);
    EXPECT_EQ(none.setIndex, -1);
    EXPECT_EQ(none.zoneIndex, -1);
}

} // namespace
