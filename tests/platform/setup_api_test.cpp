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

TEST_F(SetupApiTest, EnumerationEndsWithNoMoreItemsAndOpenAddsNoDuplicate)
{
    const char* const known = "display\\gsm5b7f\\5&2b3c4d5e&0&uid4352";  // in any case
    EXPECT_EQ(SetupDiOpenDeviceInfoA(set_, known, nullptr, 0, nullptr), TRUE);
    EXPECT_EQ(SetupDiOpenDeviceInfoA(set_, "DISPLAY\\", nullptr, 0, nullptr), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set_, 3, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
}

TEST_F(SetupApiTest, RegistryPropertiesReportTypeAndSizeOrFail)
{
    SP_DEVINFO_DATA monitor = Member(1);
    std::vector<BYTE> buffer(9000, 0xEE);
    DWORD type = 0;
    DWORD required = 0;
    ASSERT_TRUE(SetupDiGetDeviceRegistryPropertyA(set_, &monitor, SPDRP_HARDWAREID, &type,
                                                  buffer.data(), 9000, &required));
    const std::string expected("MONITOR\\GSM5B7F\0\0", 17);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + required), expected);

    SP_DEVINFO_DATA adapter = Member(0);
    const struct {
        SP_DEVINFO_DATA* device;
        DWORD property;
        DWORD bufferSize;
        DWORD error;
        DWORD type;
        DWORD required;
    } failures[] = {
        {&monitor, SPDRP_HARDWAREID, 16, ERROR_INSUFFICIENT_BUFFER, REG_MULTI_SZ, 17},
        {&monitor, SPDRP_COMPATIBLEIDS, 0, ERROR_INSUFFICIENT_BUFFER, REG_MULTI_SZ, 10},
        {&adapter, SPDRP_COMPATIBLEIDS, 9000, ERROR_INVALID_DATA, 0, 0},  // not described
    };
    for (const auto& f : failures) {
        type = 0;
        required = 0;
        EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set_, f.device, f.property, &type,
                                                       f.bufferSize ? buffer.data() : nullptr,
                                                       f.bufferSize, &required));
        EXPECT_EQ(GetLastError(), f.error) << f.property;
        EXPECT_EQ(type, f.type) << f.property;
        EXPECT_EQ(required, f.required) << f.property;
    }
}

TEST_F(SetupApiTest, DeviceIdMustFitWithItsTerminator)
{
    const std::string id = "DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352";
    const auto length = static_cast<ULONG>(id.size());
    const struct {
        DEVINST devInst;
        ULONG length;
        CONFIGRET expected;
    } cases[] = {
        {Member(1).DevInst, length + 1, CR_SUCCESS},
        {Member(1).DevInst, length, CR_BUFFER_SMALL},
        {4242, length + 1, CR_INVALID_DEVNODE},
    };
    for (const auto& c : cases) {
        char buffer[100];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(CM_Get_Device_IDA(c.devInst, buffer, c.length, 0), c.expected) << c.length;
        if (c.expected == CR_SUCCESS) {
            EXPECT_EQ(std::string(buffer), id);
        }
    }
}

TEST_F(SetupApiTest, DevNodeStatusGivesProblemOrFailsLeavingOutputsAlone)
{
    ULONG status = 7;
    ULONG problem = 7;
    EXPECT_NE(CM_Get_DevNode_Status(&status, &problem, Member(2).DevInst, 0), CR_SUCCESS);
    EXPECT_EQ(status, 7u);
    EXPECT_EQ(problem, 7u);
    EXPECT_EQ(CM_Get_DevNode_Status(&status, &problem, Member(1).DevInst, 0), CR_SUCCESS);
    EXPECT_EQ(status, 25191434u);
    EXPECT_EQ(problem, 43u);
    EXPECT_EQ(CM_Get_DevNode_Status(&status, &problem, Member(0).DevInst, 0), CR_SUCCESS);
    EXPECT_EQ(status, 0x0180200Au) << "started, the default";
}

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
