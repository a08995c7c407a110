#include "BundleResources.h"
#include "source/samples/WaveSample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

std::string_view textOf(const ResourceBytes& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data), bytes.size};
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class ResourceStoreTest : public testing::Test
{
  protected:
    void SetUp() override { setResourceFolder(folder.path.string()); }
    void TearDown() override { closeResourceStore(); }

    TemporaryFolder folder;
};

TEST_F(ResourceStoreTest, ServesAFileByTypeAndIdMappedOnce)
{
    writeText(folder.path / "WAVE" / "7.wav", "seven");
    const ResourceBytes first = findResource("WAVE", 7);
    EXPECT_EQ(textOf(first), "seven");

    // Still served from the first mapping after the file is gone.
    std::filesystem::remove(folder.path / "WAVE" / "7.wav");
    const ResourceBytes again = findResource("WAVE", 7);
    EXPECT_EQ(again.data, first.data);
    EXPECT_EQ(textOf(again), "seven");
}

TEST_F(ResourceStoreTest, MissingEmptyOrUnknownResourcesAreZeroBytes)
{
    writeText(folder.path / "WAVE" / "8.wav", "");
    std::filesystem::create_directories(folder.path / "WAVE" / "9.wav");
    writeText(folder.path / "WAVE" / "10.wav", "ten");
    for (uint16_t id : {uint16_t{6}, uint16_t{8}, uint16_t{9}})
    {
        const ResourceBytes bytes = findResource("WAVE", id);
        EXPECT_EQ(bytes.data, nullptr) << id;
        EXPECT_EQ(bytes.size, 0u) << id;
    }
    EXPECT_EQ(findResource("BMP ", 10).size, 0u);
    EXPECT_EQ(findResource(nullptr, 10).size, 0u);
    EXPECT_EQ(findResource("WAVE", 10).size, 3u);

    WaveSample sample;
    EXPECT_FALSE(loadWaveResource(sample, 6));
}

TEST_F(ResourceStoreTest, ANewFolderReplacesTheOldOne)
{
    TemporaryFolder other;
    writeText(folder.path / "WAVE" / "7.wav", "first");
    writeText(other.path / "WAVE" / "7.wav", "second");
    EXPECT_EQ(textOf(findResource("WAVE", 7)), "first");
    setResourceFolder(other.path.string());
    EXPECT_EQ(textOf(findResource("WAVE", 7)), "second");
}

TEST_F(ResourceStoreTest, FindsTheResourcesBesideTheModulesOwnFolder)
{
    // Module .../<platform folder>/<file> -> resources in .../Resources. Here the module is this
    // test program.
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    const auto resources = program.parent_path().parent_path() / "Resources";
    const bool existed = std::filesystem::exists(resources);
    writeText(resources / "WAVE" / "65000.wav", "beside the module");

    closeResourceStore();
    openResourceStore(nullptr);
    EXPECT_EQ(textOf(findResource("WAVE", 65000)), "beside the module");
    closeResourceStore();

    std::filesystem::remove(resources / "WAVE" / "65000.wav");
    if (!existed)
        std::filesystem::remove_all(resources);
}

TEST_F(ResourceStoreTest, ConcurrentLookupsShareOneMappingPerResource)
{
    setResourceFolder(bundleResourcesFolder());
    auto lookUpAll = [](std::vector<const uint8_t*>& found)
    {
        for (int id = 101; id <= 250; ++id)
            found.push_back(findResource("WAVE", static_cast<uint16_t>(id)).data);
    };
    std::vector<const uint8_t*> first, second;
    std::thread other(lookUpAll, std::ref(second));
    lookUpAll(first);
    other.join();
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::count(first.begin(), first.end(), nullptr), 150 - 142);
}

} // namespace
