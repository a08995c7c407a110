#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace Taviro::Test
{

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
