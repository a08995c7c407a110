#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace Taviro::Test
{

// The whole of a file (empty when it cannot be read), and how many entries a folder holds.
inline std::string fileContents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}
inline long entryCount(const std::filesystem::path& folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

// A test with an empty folder of its own, removed afterwards.
struct FolderTest : testing::Test
{
    std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) /
        ("taviro-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
         std::to_string(getpid())); // two builds' tests may run at once

    void SetUp() override
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
};

} // namespace Taviro::Test
