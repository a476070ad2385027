#pragma once
// Fixture for the platform tests: an empty machine before and after each
// test, and no handle or buffer left open by it. Local time is UTC, as CTest
// runs the tests.
#include <string>

#include <gtest/gtest.h>

#include "platform/Win32.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/MachineDescription.h"

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        displayplatform::ResetMachine();
        before_ = displayplatform::CountOpenHandles();
    }

    void TearDown() override
    {
        const auto after = displayplatform::CountOpenHandles();
        EXPECT_EQ(after.registryKeys, before_.registryKeys) << "registry key left open";
        EXPECT_EQ(after.deviceInfoSets, before_.deviceInfoSets) << "device info set left open";
        EXPECT_EQ(after.localAllocations, before_.localAllocations) << "buffer not freed";
        displayplatform::ResetMachine();
    }

    static void Load(const std::string& json) { displayplatform::LoadMachineJson(json, "test"); }

private:
    displayplatform::OpenHandleCounts before_;
};
