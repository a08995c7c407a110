#include "SampleBank.h"

#include <algorithm>
#include <cstdlib>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

constexpr int32 kDrumSetChoice = 3;
constexpr int32 kNumMultiSampleChoices = 8; // "Off" and the seven sets

bool isDrumKey(int32 pitch)
{
    for (int32 key : {36, 38, 42, 43, 44, 46, 47, 49, 50, 51, 53})
        if (pitch == key)
            return true;
    return false;
}

std::array<float, 128> makeNoteFrequencyTable()
{
    std::array<float, 128> table{};
    double frequency = 8.175798915636872;
    for (int32 key = 0; key < 128; ++key)
    {
        table[key] = static_cast<float>(frequency);
        frequency *= 1.059463094359;
    }
    return table;
}

} // namespace

const std::array<float, 128> noteFrequencyTable = makeNoteFrequencyTable();

ZoneChoice selectZone(const SampleBank& bank, int32 multiSample, int32 octave, int32 pitch)
{
    ZoneChoice choice;

    // Fold the transposed key into 0..127 by whole octaves, keeping the pitch in the rate.
    int32 lookupKey = pitch + 12 * (8 - octave);
    double factor = 1.0;
    if (lookupKey > 127)
    {
        const int32 n = (lookupKey - 128) / 12 + 1;
        lookupKey -= 12 * n;
        for (int32 i = 0; i < n; ++i)
            factor *= 2.0;
    }
    else if (lookupKey < 0)
    {
        const int32 n = (-lookupKey - 1) / 12 + 1;
        lookupKey += 12 * n;
        for (int32 i = 0; i < n; ++i)
            factor *= 0.5;
    }

    // A choice read from a stored state may lie outside the list: above it counts as the last set,
    // below it as "Off".
    multiSample = std::min(multiSample, kNumMultiSampleChoices - 1);
    if (multiSample <= 0)
        return choice;
    if (multiSample == kDrumSetChoice && !isDrumKey(pitch))
        return choice;
    const int32 setIndex = multiSample - 1;
    if (setIndex >= static_cast<int32>(bank.size()) || !bank[setIndex])
        return choice;

    const MultiSampleSet& set = *bank[setIndex];
    int32 bestDistance = 99999;
    for (size_t zone = 0; zone < set.rootKeys.size(); ++zone)
    {
        const int32 distance = std::abs(set.rootKeys[zone] - lookupKey);
        if (distance < bestDistance)
        {
            bestDistance = distance;
            choice.zoneIndex = static_cast<int32>(zone);
        }
    }
    if (choice.zoneIndex < 0)
        return choice;

    choice.setIndex = setIndex;
    const int32 rootKey = set.rootKeys[choice.zoneIndex];
    choice.rateRatio = static_cast<double>(noteFrequencyTable[lookupKey]) /
                       static_cast<double>(noteFrequencyTable[rootKey]) * factor;
    return choice;
}

} // namespace Steinberg::Vst::TaviroPlugIn
