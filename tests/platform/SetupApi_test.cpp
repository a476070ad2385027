#include <cstring>
#include <string>
#include <vector>

#include "PlatformTest.h"

namespace {

const char* const kDevicesMachine = R"({
  "devices": [
    {"instanceId": "PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1\\4&1A2B3C4D&0&0019",
     "hardwareIds": ["PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1", "PCI\\VEN_10DE&DEV_2504"],
     "status": 25174026, "problem": 0},
    {"instanceId": "DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352",
     "hardwareIds": ["MONITOR\\GSM5B7F"], "compatibleIds": ["*PNP09FF"],
     "status": 25191434, "problem": 43},
    {"instanceId": "DISPLAY\\DEL40F2\\5&2B3C4D5E&0&UID4353", "statusFails": true},
    {"instanceId": "ROOT\\BASICDISPLAY\\0000"}
  ],
  "registry": {
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352": {
      "DeviceDesc": {"type": "REG_SZ", "string": "@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor"}
    }
  }
})";

class SetupApiTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(kDevicesMachine);
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

    std::string InstanceId(DEVINST devInst)
    {
        char buffer[MAX_DEVICE_ID_LEN] = {};
        EXPECT_EQ(CM_Get_Device_IDA(devInst, buffer, sizeof buffer, 0), CR_SUCCESS);
        return buffer;
    }

    HDEVINFO set_ = nullptr;
};

TEST_F(SetupApiTest, EnumeratesDevicesInOrderThenReportsNoMoreItems)
{
    SetLastError(1234);
    EXPECT_EQ(InstanceId(Member(3).DevInst), "ROOT\\BASICDISPLAY\\0000");
    EXPECT_EQ(GetLastError(), 0u) << "setupapi clears the last error on success";
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set_, 4, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    data.cbSize = 8;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set_, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));

    HDEVINFO destroyed = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(destroyed));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(destroyed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SetupApiTest, ClassDevsFailsWithoutClassOrByFault)
{
    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    Load(R"({"faults": {"classDevs": true}})");
    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES),
              INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(SetupDiEnumDeviceInfo(set_, 0, &data)) << "a set keeps the machine it was made from";
}

TEST_F(SetupApiTest, OpenDeviceInfoAddsOnlyKnownInstances)
{
    const struct {
        const char* id;
        BOOL ok;
        DWORD error;
    } cases[] = {
        {"DISPLAY\\", FALSE, ERROR_NO_SUCH_DEVINST},
        {"PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1", FALSE, ERROR_NO_SUCH_DEVINST},
        {"display\\gsm5b7f\\5&2b3c4d5e&0&uid4352", TRUE, ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        SetLastError(1234);
        EXPECT_EQ(SetupDiOpenDeviceInfoA(set_, c.id, nullptr, 0, nullptr), c.ok) << c.id;
        EXPECT_EQ(GetLastError(), c.error) << c.id;
    }
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set_, 4, &data)) << "an open device is not added twice";

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
    EXPECT_EQ(required, expected.size());
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + required), expected);

    const struct {
        DWORD property;
        DWORD bufferSize;
        DWORD error;
        DWORD required;
    } failures[] = {
        {SPDRP_HARDWAREID, 16, ERROR_INSUFFICIENT_BUFFER, 17},
        {SPDRP_HARDWAREID, 0, ERROR_INSUFFICIENT_BUFFER, 17},
        {SPDRP_COMPATIBLEIDS, 9, ERROR_INSUFFICIENT_BUFFER, 10},
        {SPDRP_DEVICEDESC, 19, ERROR_INSUFFICIENT_BUFFER, 20},  // "Generic PnP Monitor"
        {0x10 /* SPDRP_FRIENDLYNAME */, 9000, ERROR_INVALID_DATA, 0},
        {SPDRP_MAXIMUM_PROPERTY, 9000, ERROR_INVALID_REG_PROPERTY, 0},
    };
    for (const auto& f : failures) {
        type = 0;
        required = 0;
        EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set_, &monitor, f.property, &type,
                                                       f.bufferSize ? buffer.data() : nullptr,
                                                       f.bufferSize, &required))
            << f.property;
        EXPECT_EQ(GetLastError(), f.error) << f.property;
        EXPECT_EQ(required, f.required) << f.property;
    }
    SP_DEVINFO_DATA adapter = Member(0);
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set_, &adapter, SPDRP_COMPATIBLEIDS, &type,
                                                   buffer.data(), 9000, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << "an absent list";
    adapter.cbSize = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set_, &adapter, SPDRP_HARDWAREID, &type,
                                                   buffer.data(), 9000, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(SetupApiTest, DeviceIdMustFitWithItsTerminator)
{
    const DEVINST devInst = Member(1).DevInst;
    const std::string id = "DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352";
    const auto length = static_cast<ULONG>(id.size());
    const struct {
        DEVINST devInst;
        bool buffer;
        ULONG length;
        ULONG flags;
        CONFIGRET expected;
    } cases[] = {
        {devInst, true, length + 1, 0, CR_SUCCESS},
        {devInst, true, length, 0, CR_BUFFER_SMALL},
        {devInst, true, 0, 0, CR_BUFFER_SMALL},
        {devInst, false, length + 1, 0, CR_INVALID_POINTER},
        {devInst, true, length + 1, 1, CR_INVALID_FLAG},
        {0, true, length + 1, 0, CR_INVALID_DEVNODE},
        {4242, true, length + 1, 0, CR_INVALID_DEVNODE},
    };
    for (const auto& c : cases) {
        char buffer[100];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(CM_Get_Device_IDA(c.devInst, c.buffer ? buffer : nullptr, c.length, c.flags),
                  c.expected)
            << c.length;
        if (c.expected == CR_SUCCESS) {
            EXPECT_EQ(std::string(buffer), id);
        }
    }
}

TEST_F(SetupApiTest, DevNodeStatusFailureLeavesOutputsAlone)
{
    ULONG status = 7;
    ULONG problem = 7;
    EXPECT_EQ(CM_Get_DevNode_Status(&status, &problem, Member(2).DevInst, 0), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(status, 7u);
    EXPECT_EQ(problem, 7u);
    EXPECT_EQ(CM_Get_DevNode_Status(&status, nullptr, Member(0).DevInst, 0), CR_INVALID_POINTER);
    EXPECT_EQ(CM_Get_DevNode_Status(&status, &problem, 0, 0), CR_INVALID_DEVNODE);
    EXPECT_EQ(CM_Get_DevNode_Status(&status, &problem, Member(1).DevInst, 0), CR_SUCCESS);
    EXPECT_EQ(problem, 43u);
}

}  // namespace
