// Activation cost of the sample bank: parsing the headers of all 142 recordings into seven sets.
#include "source/samples/ResourceStoreLinux.h"
#include "source/samples/SampleBank.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

const std::string kResources = std::string(TAVIRO_BUNDLE_DIR) + "/Contents/Resources";

// Every activation after the first: the recordings are mapped already.
void loadAndReleaseBank(benchmark::State& state)
{
    setResourceFolder(kResources);
    SampleBank bank;
    loadSampleBank(bank);
    releaseSampleBank(bank);
    for (auto _ : state)
    {
        loadSampleBank(bank);
        benchmark::DoNotOptimize(bank.data());
        releaseSampleBank(bank);
    }
    closeResourceStore();
}
BENCHMARK(loadAndReleaseBank)->Unit(benchmark::kMicrosecond);

// The first activation of a module: every recording is also opened and mapped.
void loadBankMappingEveryFile(benchmark::State& state)
{
    SampleBank bank;
    for (auto _ : state)
    {
        setResourceFolder(kResources); // drops the mappings of the previous round
        loadSampleBank(bank);
        benchmark::DoNotOptimize(bank.data());
        releaseSampleBank(bank);
    }
    closeResourceStore();
}
BENCHMARK(loadBankMappingEveryFile)->Unit(benchmark::kMicrosecond);

} // namespace
