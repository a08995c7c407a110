#include "SampleBank.h"

#include "SampleSetLayout.h"

namespace Steinberg::Vst::TaviroPlugIn {

void loadSampleBank(SampleBank& bank)
{
    if (!bank.empty())
        return;
    bank.reserve(sampleSetLayouts.size());
    for (const SampleSetLayout& layout : sampleSetLayouts)
    {
        auto set = std::make_unique<MultiSampleSet>();
        for (const ZoneResource& zone : layout.zones)
        {
            auto sample = std::make_unique<WaveSample>();
            // A rejected recording is left out; its neighbours then serve its keys.
            if (!loadWaveResource(*sample, zone.resourceId))
                continue;
            set->samples.push_back(std::move(sample));
            set->rootKeys.push_back(zone.rootKey);
        }
        // Kept even without zones, so that every set stays at its position.
        bank.push_back(std::move(set));
    }
}

void releaseSampleBank(SampleBank& bank)
{
    for (auto& set : bank)
    {
        if (set)
            set->samples.clear();
        set.reset();
    }
    bank.clear();
}

} // namespace Steinberg::Vst::TaviroPlugIn
