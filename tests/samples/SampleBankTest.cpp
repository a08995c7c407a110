#include "source/samples/SampleBank.h"
#include "SampleTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

// Key frequencies as documented: from 8.175798915636872 Hz times 1.059463094359 per key, in float.
double keyFrequency(int key)
{
    double accumulator = 8.175798915636872;
    for (int k = 0; k < key; ++k)
        accumulator *= 1.059463094359;
    return static_cast<float>(accumulator);
}

// Multi-sample choices; octave index 8 leaves the pitch unshifted.
constexpr int off = 0, eGuitar = 1, piano = 2, drums = 3, saw = 4, triangle = 5, square = 6, muted = 7;

class SampleBankTest : public testing::Test
{
  protected:
    void SetUp() override { setResourceFolder(bundleResourcesFolder); }
    void TearDown() override
    {
        releaseSampleBank(bank);
        closeResourceStore();
    }

    // Zones per set; 999 where the set's two lists are not parallel.
    std::vector<size_t> zoneCounts() const
    {
        std::vector<size_t> counts;
        for (const auto& set : bank)
            counts.push_back(set->samples.size() == set->rootKeys.size() ? set->samples.size() : 999);
        return counts;
    }
    // The root key of the zone chosen for a note, or -1 when nothing plays.
    int rootPlayed(int choice, int octave, int pitch) const
    {
        const ZoneChoice zone = selectZone(bank, choice, octave, pitch);
        return zone.setIndex < 0 || zone.zoneIndex < 0 ? -1 : bank[zone.setIndex]->rootKeys[zone.zoneIndex];
    }

    SampleBank bank;
};

TEST_F(SampleBankTest, LoadsEveryRecordingOnceAndSelectsTheNearestRootFoldingOctaves)
{
    loadSampleBank(bank);
    ASSERT_EQ(zoneCounts(), (std::vector<size_t>{15, 24, 11, 28, 28, 28, 8}));
    std::set<const uint8_t*> distinct; // with the counts: each of the 142 resources in one zone
    for (const auto& set : bank)
        for (const auto& sample : set->samples)
            distinct.insert(sample->data);
    EXPECT_EQ(distinct.size(), 142u);
    const WaveSample* first = bank[1]->samples[0].get();
    loadSampleBank(bank); // already loaded: kept as it is
    EXPECT_EQ(bank[1]->samples[0].get(), first);
    // Choice, octave index, key, root key chosen, lookup key folded into 0..127. Of equally near root
    // keys the zone loaded first wins (piano 34, 42, 46, 91, 103; muted 41); the drum-key test takes the
    // played key, the zone the shifted one; a choice beyond the list counts as the last set.
    const int cases[][5] = {
        {piano, 8, 34, 36, 34},     {piano, 8, 46, 48, 46},     {piano, 8, 91, 90, 91},
        {piano, 8, 103, 102, 103},  {piano, 8, 42, 40, 42},     {muted, 8, 41, 40, 41},
        {piano, 8, 60, 60, 60},     {piano, 8, 0, 24, 0},       {piano, 8, 127, 104, 127},
        {eGuitar, 8, 20, 42, 20},   {eGuitar, 8, 127, 84, 127}, {muted, 8, 127, 60, 127},
        {saw, 8, 25, 24, 25},       {saw, 8, 26, 27, 26},       {triangle, 8, 104, 105, 104},
        {square, 8, 60, 60, 60},    {drums, 8, 44, 44, 44},     {9, 8, 41, 40, 41},
        {eGuitar, 0, 100, 84, 124}, {piano, 7, 116, 104, 116},  {piano, 7, 127, 104, 127},
        {piano, 6, 116, 104, 116},  {piano, 9, 11, 24, 11},     {piano, 9, 0, 24, 0},
        {piano, 10, 11, 24, 11},    {piano, 16, 60, 24, 0},     {drums, 7, 38, 50, 50}};
    for (const auto& [choice, octave, pitch, root, lookupKey] : cases)
    {
        SCOPED_TRACE(std::to_string(choice) + "/" + std::to_string(octave) + "/" + std::to_string(pitch));
        EXPECT_EQ(rootPlayed(choice, octave, pitch), root);
        // The pitch the fold took out of the key comes back in the ratio as a power of two.
        const double factor = std::ldexp(1.0, (pitch + 12 * (8 - octave) - lookupKey) / 12);
        EXPECT_DOUBLE_EQ(selectZone(bank, choice, octave, pitch).rateRatio,
                         keyFrequency(lookupKey) / keyFrequency(root) * factor);
    }
    // Unshifted, only the drum keys play, each its own drum; nothing plays for "Off", a choice below
    // the list, or a drum zone reached from a key that is no drum (26 + 12 = 38).
    const std::set<int> drumKeys{36, 38, 42, 43, 44, 46, 47, 49, 50, 51, 53};
    for (int key = 0; key < 128; ++key)
        EXPECT_EQ(rootPlayed(drums, 8, key), drumKeys.contains(key) ? key : -1) << key;
    EXPECT_EQ(rootPlayed(off, 8, 60), -1);
    EXPECT_EQ(rootPlayed(-1, 8, 60), -1);
    EXPECT_EQ(rootPlayed(drums, 7, 26), -1);
    EXPECT_EQ(noteFrequencyTable[69], 440.0f);
    EXPECT_EQ(noteFrequencyTable[60], 261.62558f);
}

TEST_F(SampleBankTest, LoadsAgainAfterReleaseAndMissingRecordingsShrinkTheirSets)
{
    loadSampleBank(bank);
    releaseSampleBank(bank);
    EXPECT_TRUE(bank.empty());
    // Loaded again without piano root 48 (118), the pedal hi-hat (153) and the whole muted guitar set
    // (239 and up), with E-Guitar root 45 (101) unreadable.
    TemporaryFolder folder;
    const auto wave = folder.path / "WAVE";
    std::filesystem::create_directories(wave);
    for (const auto& entry : std::filesystem::directory_iterator(bundleResourcesFolder + "/WAVE"))
        if (const int id = std::stoi(entry.path().stem().string()); id != 118 && id != 153 && id < 239)
            std::filesystem::create_symlink(entry.path(), wave / entry.path().filename());
    std::filesystem::remove(wave / "101.wav");
    std::ofstream(wave / "101.wav") << "RIFF, but not a recording";
    setResourceFolder(folder.path.string());
    loadSampleBank(bank);
    EXPECT_EQ(zoneCounts(), (std::vector<size_t>{14, 23, 10, 28, 28, 28, 0}));
    EXPECT_EQ(rootPlayed(muted, 8, 60), -1);
    // Their neighbours serve their keys; the drum key goes to the nearest drum left, the low tom.
    const int served[][3] = {{piano, 46, 44}, {piano, 47, 44},   {piano, 48, 51},  {piano, 49, 51},
                             {drums, 44, 43}, {eGuitar, 44, 42}, {eGuitar, 46, 48}};
    for (const auto& s : served)
        EXPECT_EQ(rootPlayed(s[0], 8, s[1]), s[2]) << s[0] << "/" << s[1];
}

} // namespace
