// The device installer's view of a description's devices.
#include <cstring>
#include <string>
#include <vector>

#include "PlatformTest.h"

namespace {

class SetupApiTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(R"({"devices": [
          {"instanceId": "PCI\\VEN_10DE&DEV_2504\\4&1A2B3C4D&0&0019",
           "hardwareIds": ["PCI\\VEN_10DE&DEV_2504"]},
          {"instanceId": "DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352",
           "hardwareIds": ["MONITOR\\GSM5B7F"], "compatibleIds": ["*PNP09FF"],
           "status": 25191434, "problem": 43},
          {"instanceId": "DISPLAY\\DEL40F2\\5&2B3C4D5E&0&UID4353", "statusFails": true}]})");
        set_ = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
        ASSERT_NE(set_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set_));
        PlatformTest::TearDown();
    }

    SP_DEVINFO_DATA Member(DWORD index)
    {
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        EXPECT_TRUE(SetupDiEnumDeviceInfo(set_, index, &data));
        return data;
    }

    HDEVINFO set_ = nullptr;
};

TEST_F(SetupApiTest, PropertiesOnlyOfTheSetsMembersAndOpenAddsOne)
{
    HDEVINFO monitors =
        SetupDiGetClassDevsA(nullptr, "DISPLAY", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    ASSERT_NE(monitors, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    ASSERT_TRUE(SetupDiEnumDeviceInfo(monitors, 0, &data));
    data.DevInst = Member(0).DevInst;  // the adapter, not in this set
    std::vector<BYTE> buffer(9000);
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(monitors, &data, SPDRP_HARDWAREID, nullptr,
                                                   buffer.data(), 9000, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(SetupDiOpenDeviceInfoA(monitors, "PCI\\VEN_10DE&DEV_2504\\4&1A2B3C4D&0&0019",
                                       nullptr, 0, nullptr));
    EXPECT_TRUE(SetupDiGetDeviceRegistryPropertyA(monitors, &data, SPDRP_HARDWAREID, nullptr,
                                                  buffer.data(), 9000, &required));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(monitors));
}

TEST_F(SetupApiTest, DestroyedSetIsRefusedRightAfterItsLastUse)
{
    HDEVINFO other =
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    ASSERT_TRUE(SetupDiEnumDeviceInfo(other, 0, &data));
    ASSERT_TRUE(SetupDiDestroyDeviceInfoList(other));
    EXPECT_FALSE(SetupDiEnumDeviceInfo(other, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(other));
    EXPECT_TRUE(SetupDiEnumDeviceInfo(set_, 0, &data)) << "the other set stays usable";
}

}  // namespace
