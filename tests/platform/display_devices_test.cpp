// Adapters, their monitors and their display modes, read through User32.
#include <cstring>
#include <string>

#include "PlatformTest.h"

namespace {

// Strings at their longest: 31 characters for names, 127 for the others.
const std::string kLongName = "\\\\.\\DISPLAY2" + std::string(19, 'N');
const std::string kLongText(127, 'T');

class DisplayDevicesTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(R"({"displayDevices": [
          {"deviceName": "\\\\.\\DISPLAY1", "stateFlags": 1, "deviceID": "PCI\\VEN_1002",
           "currentMode": {"bitsPerPel": 32, "pelsWidth": 2560, "displayFrequency": 144},
           "modes": [{"displayFrequency": 1}, {"pelsWidth": 640, "displayFrequency": 60}],
           "monitors": [{"deviceName": "\\\\.\\DISPLAY1\\Monitor0", "deviceID": "MONITOR\\A"},
                        {"deviceName": "\\\\.\\DISPLAY1\\Monitor1", "deviceID": "MONITOR\\B"}]},
          {"deviceName": "\\\\.\\DISPLAY2)" + std::string(19, 'N') + R"(", "deviceString": ")" +
             kLongText + R"(", "stateFlags": 5, "deviceID": ")" + kLongText +
             R"(", "deviceKey": ")" + kLongText + R"("}]})");
    }
};

TEST_F(DisplayDevicesTest, EnumeratesAdaptersThenMonitorsOfANamedAdapter)
{
    DISPLAY_DEVICEA record;
    std::memset(&record, 'x', sizeof record);
    record.cb = sizeof record;
    ASSERT_TRUE(EnumDisplayDevicesA(nullptr, 1, &record, 0));
    EXPECT_EQ(std::string(record.DeviceName), kLongName);
    EXPECT_EQ(std::string(record.DeviceString), kLongText);
    EXPECT_EQ(std::string(record.DeviceKey), kLongText);
    EXPECT_EQ(record.StateFlags, 5u);
    EXPECT_FALSE(EnumDisplayDevicesA(nullptr, 2, &record, 0));
    record.cb = 0;
    EXPECT_FALSE(EnumDisplayDevicesA(nullptr, 0, &record, 0));

    const struct {
        const char* device;
        DWORD index;
        const char* deviceId;  // null: the call fails
    } cases[] = {
        {"\\\\.\\DISPLAY1", 0, "MONITOR\\A"},
        {"\\\\.\\display1", 1, "MONITOR\\B"},
        {"\\\\.\\DISPLAY1", 2, nullptr},
        {kLongName.c_str(), 0, nullptr},  // an adapter without monitors
        {"\\\\.\\DISPLAY9", 0, nullptr},
    };
    for (const auto& c : cases) {
        record.cb = sizeof record;
        EXPECT_EQ(EnumDisplayDevicesA(c.device, c.index, &record, 0), c.deviceId ? TRUE : FALSE)
            << c.device << " " << c.index;
        if (c.deviceId != nullptr) {
            EXPECT_STREQ(record.DeviceID, c.deviceId);
        }
    }
}

TEST_F(DisplayDevicesTest, SettingsGiveCurrentModeAndModeList)
{
    const struct {
        const char* device;
        DWORD mode;
        bool ok;
        DWORD width;
        DWORD frequency;
    } cases[] = {
        {"\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, true, 2560, 144},
        {"\\\\.\\DISPLAY1", 0, true, 0, 1},
        {"\\\\.\\DISPLAY1", 1, true, 640, 60},
        {"\\\\.\\DISPLAY1", 2, false, 0, 0},
        {kLongName.c_str(), ENUM_CURRENT_SETTINGS, false, 0, 0},  // no current mode described
    };
    for (const auto& c : cases) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        EXPECT_EQ(EnumDisplaySettingsA(c.device, c.mode, &mode), c.ok ? TRUE : FALSE) << c.mode;
        EXPECT_EQ(mode.dmPelsWidth, c.width) << c.mode;
        EXPECT_EQ(mode.dmDisplayFrequency, c.frequency) << c.mode;
    }
}

}  // namespace
