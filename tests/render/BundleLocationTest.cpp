#include "tools/render/BundleLocation.h"
#include "tools/render/HostError.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Taviro::Render;
namespace fs = std::filesystem;

TEST(BundleLocation, LooksBesideTheToolFirstThenTheBuildThenTheUsersAndTheSystemsFolders)
{
    auto candidates =
        bundleCandidates("/opt/taviro/build/bin/taviro-render", "/src/build/TaviroPlugIn.vst3", "/home/ann");
    std::vector<std::string> expected{
        "/opt/taviro/build/TaviroPlugIn.vst3",   "/opt/taviro/build/bin/TaviroPlugIn.vst3",
        "/src/build/TaviroPlugIn.vst3",          "/home/ann/.vst3/TaviroPlugIn.vst3",
        "/usr/local/lib/vst3/TaviroPlugIn.vst3", "/usr/lib/vst3/TaviroPlugIn.vst3"};
    EXPECT_EQ(candidates, expected);
    EXPECT_EQ(bundleCandidates("", "", "").size(), 2u);
}

TEST(BundleLocation, AnExplicitPathMustExist)
{
    fs::path folder = fs::path(testing::TempDir()) / "bundle-location" / bundleName;
    fs::create_directories(folder);
    EXPECT_EQ(findBundle(folder.string(), "taviro-render"), folder.string());
    fs::remove_all(folder.parent_path());
    try
    {
        findBundle(folder.string(), "taviro-render");
        FAIL() << "a missing bundle was accepted";
    }
    catch (const HostError& error)
    {
        EXPECT_NE(std::string(error.what()).find(folder.string()), std::string::npos) << error.what();
    }
}
