#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace Taviro::Test
{

// A test with an empty folder of its own, removed afterwards.
class FolderTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::path(testing::TempDir()) /
                 ("taviro-" + std::string(test->test_suite_name()) + "-" + test->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
};

} // namespace Taviro::Test
