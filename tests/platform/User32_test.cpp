#include <cstring>
#include <string>

#include "PlatformTest.h"

namespace {

// Strings at their longest: 31 characters for names, 127 for the others.
const std::string kLongName = "\\\\.\\DISPLAY1" + std::string(19, 'N');
const std::string kLongText(127, 'T');

std::string Escaped(const std::string& text)
{
    std::string json;
    for (char c : text) {
        json += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return json;
}

std::string DisplayMachine()
{
    return R"({"displayDevices": [
      {"deviceName": "\\\\.\\DISPLAY1", "deviceString": "Adapter One", "stateFlags": 1,
       "deviceID": "PCI\\VEN_1002&DEV_73FF", "deviceKey": "\\Registry\\Machine\\System\\X",
       "currentMode": {"bitsPerPel": 32, "pelsWidth": 2560, "pelsHeight": 1440,
                       "displayFrequency": 144, "displayFlags": 2},
       "modes": [{"displayFrequency": 1}, {"pelsWidth": 640, "displayFrequency": 60}],
       "monitors": [{"deviceName": "\\\\.\\DISPLAY1\\Monitor0", "deviceID": "MONITOR\\A"},
                    {"deviceName": "\\\\.\\DISPLAY1\\Monitor1", "deviceID": "MONITOR\\B"}]},
      {"deviceName": ")" + Escaped(kLongName) + R"(", "deviceString": ")" + kLongText + R"(",
       "stateFlags": 5, "deviceID": ")" + kLongText + R"(", "deviceKey": ")" + kLongText + R"(",
       "currentMode": {"pelsWidth": 1920}}
    ]})";
}

class DisplayTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(DisplayMachine());
    }

    static DISPLAY_DEVICEA Record(DWORD cb)
    {
        DISPLAY_DEVICEA record;
        std::memset(&record, 'x', sizeof record);
        record.cb = cb;
        return record;
    }
};

TEST_F(DisplayTest, EnumeratesAdaptersThenMonitorsOfANamedAdapter)
{
    DISPLAY_DEVICEA record = Record(sizeof(DISPLAY_DEVICEA));
    ASSERT_TRUE(EnumDisplayDevicesA(nullptr, 1, &record, 0));
    EXPECT_EQ(std::string(record.DeviceName), kLongName);
    EXPECT_EQ(std::string(record.DeviceString), kLongText);
    EXPECT_EQ(std::string(record.DeviceID), kLongText);
    EXPECT_EQ(std::string(record.DeviceKey), kLongText);
    EXPECT_EQ(record.StateFlags, 5u);
    EXPECT_FALSE(EnumDisplayDevicesA(nullptr, 2, &record, 0));

    const struct {
        const char* device;
        DWORD index;
        const char* deviceId;  // null: the call fails
    } cases[] = {
        {"\\\\.\\DISPLAY1", 0, "MONITOR\\A"},
        {"\\\\.\\display1", 1, "MONITOR\\B"},
        {"\\\\.\\DISPLAY1", 2, nullptr},
        {kLongName.c_str(), 0, nullptr},  // an adapter without monitors
        {"\\\\.\\DISPLAY1\\Monitor0", 0, nullptr},
        {"\\\\.\\DISPLAY9", 0, nullptr},
    };
    for (const auto& c : cases) {
        record = Record(sizeof(DISPLAY_DEVICEA));
        EXPECT_EQ(EnumDisplayDevicesA(c.device, c.index, &record, 0), c.deviceId != nullptr ? TRUE : FALSE)
            << c.device << " " << c.index;
        if (c.deviceId != nullptr) {
            EXPECT_STREQ(record.DeviceID, c.deviceId);
        }
    }
}

TEST_F(DisplayTest, FillsOnlyWhatTheRecordSizeCovers)
{
    const struct {
        DWORD cb;
        bool ok;
        bool deviceId;
        bool deviceKey;
    } cases[] = {
        {0, false, false, false},
        {offsetof(DISPLAY_DEVICEA, DeviceID) - 1, false, false, false},
        {offsetof(DISPLAY_DEVICEA, DeviceID), true, false, false},
        {offsetof(DISPLAY_DEVICEA, DeviceKey), true, true, false},
        {sizeof(DISPLAY_DEVICEA), true, true, true},
    };
    for (const auto& c : cases) {
        DISPLAY_DEVICEA record = Record(c.cb);
        EXPECT_EQ(EnumDisplayDevicesA(nullptr, 0, &record, 0), c.ok ? TRUE : FALSE) << c.cb;
        EXPECT_EQ(record.cb, c.cb);
        EXPECT_EQ(record.DeviceName[0] == '\\', c.ok) << c.cb;
        EXPECT_EQ(record.DeviceID[0] == 'P', c.deviceId) << c.cb;
        EXPECT_EQ(record.DeviceKey[0] == '\\', c.deviceKey) << c.cb;
    }
}

TEST_F(DisplayTest, SettingsGiveCurrentModeAndModeList)
{
    const struct {
        const char* device;
        DWORD mode;
        bool ok;
        DWORD width;
        DWORD frequency;
    } cases[] = {
        {"\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, true, 2560, 144},
        {"\\\\.\\DISPLAY1", ENUM_REGISTRY_SETTINGS, true, 2560, 144},
        {"\\\\.\\DISPLAY1", 0, true, 0, 1},
        {"\\\\.\\DISPLAY1", 1, true, 640, 60},
        {"\\\\.\\DISPLAY1", 2, false, 0, 0},
        {nullptr, ENUM_CURRENT_SETTINGS, true, 1920, 0},  // the primary adapter
        {kLongName.c_str(), 0, false, 0, 0},
        {"\\\\.\\DISPLAY1\\Monitor0", ENUM_CURRENT_SETTINGS, false, 0, 0},
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
