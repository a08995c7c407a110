#include "SampleTestSupport.h"
#include "WaveImages.h"
#include "source/samples/WaveSample.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string_view>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

std::string_view wave(uint16_t id)
{
    const ResourceBytes bytes = findResource("WAVE", id);
    return {reinterpret_cast<const char*>(bytes.data), bytes.size};
}

void write(const std::filesystem::path& folder, uint16_t id, const std::string& text)
{
    std::filesystem::create_directories(folder / "WAVE");
    std::ofstream(folder / "WAVE" / (std::to_string(id) + ".wav")) << text;
}

TEST(ResourceStore, MapsEachFileOnceServesMissingOnesAsZeroBytesAndFindsTheFolderBesideTheModule)
{
    TemporaryFolder folder;
    write(folder.path, 7, "seven");
    write(folder.path, 8, "");
    std::filesystem::create_directories(folder.path / "WAVE" / "9.wav");
    setResourceFolder(folder.path.string());
    const uint8_t* first = findResource("WAVE", 7).data;
    std::filesystem::remove(folder.path / "WAVE" / "7.wav"); // still served from the first mapping
    EXPECT_EQ(wave(7), "seven");
    EXPECT_EQ(findResource("WAVE", 7).data, first);
    for (uint16_t id : {6, 8, 9}) // missing, empty, a folder
        EXPECT_TRUE(findResource("WAVE", id).data == nullptr && wave(id).empty()) << id;
    EXPECT_EQ(findResource("BMP ", 7).size, 0u);
    EXPECT_EQ(findResource(nullptr, 7).size, 0u);
    WaveSample sample;
    EXPECT_FALSE(loadWaveResource(sample, 6));
    // Module .../<platform folder>/<file>: resources in .../Resources. Here the module is this program.
    const auto contents = std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
    const bool existed = std::filesystem::exists(contents / "Resources");
    write(contents / "Resources", 65000, "beside the module");
    closeResourceStore();
    openResourceStore(nullptr);
    EXPECT_EQ(wave(65000), "beside the module");
    std::filesystem::remove(contents / "Resources" / "WAVE" / "65000.wav");
    if (!existed)
        std::filesystem::remove_all(contents / "Resources");
    closeResourceStore();
}

// Whether a recording's sides are alike is worked out at its first load and kept beside its bytes
// for later activations, until the store maps the resource afresh.
TEST_F(WaveReader, RemembersAlikeSidesUntilTheResourceIsMappedAfresh)
{
    const auto stereo = [](const S& samples) { return riff(fmt(1, 2, 16) + chunk("data", samples)); };
    TemporaryFolder first, second;
    write(first.path, 1, stereo("abab"));
    write(second.path, 1, stereo("abac"));
    for (const auto& [folder, alike] : {std::pair(&first, true), std::pair(&second, false)})
    {
        setResourceFolder(folder->path.string());
        EXPECT_EQ(findResource("WAVE", 1).memo->load(), 0);
        for (int load = 0; load < 2; ++load)
        {
            WaveSample sample;
            ASSERT_TRUE(loadWaveResource(sample, 1));
            EXPECT_EQ(sample.sidesAlike, alike);
        }
        EXPECT_EQ(findResource("WAVE", 1).memo->load(), alike ? 2 : 1);
    }
    closeResourceStore();
}

} // namespace
