// The window system's display settings: a null or empty device name speaks
// of the primary adapter output, wherever it stands in the list.
#include <string>

#include "PlatformTest.h"

namespace {

using DisplaySettingsTest = PlatformTest;

TEST_F(DisplaySettingsTest, NullDeviceIsThePrimaryOutputNotTheFirstAttachedOne)
{
    // DISPLAY1 is attached (1), DISPLAY2 attached and primary (1 | 4).
    Load(R"({"displayDevices": [
        {"deviceName": "\\\\.\\DISPLAY1", "stateFlags": 1,
         "currentMode": {"pelsWidth": 1024, "pelsHeight": 768},
         "modes": [{"pelsWidth": 640, "pelsHeight": 480}]},
        {"deviceName": "\\\\.\\DISPLAY2", "stateFlags": 5,
         "currentMode": {"pelsWidth": 1920, "pelsHeight": 1080},
         "modes": [{"pelsWidth": 800, "pelsHeight": 600}]}]})");
    const struct {
        const char* device;
        DWORD mode;
        DWORD width;
        const char* name;  // the output the record names
    } cases[] = {
        {nullptr, ENUM_CURRENT_SETTINGS, 1920, "\\\\.\\DISPLAY2"},
        {"", ENUM_CURRENT_SETTINGS, 1920, "\\\\.\\DISPLAY2"},
        {nullptr, 0, 800, "\\\\.\\DISPLAY2"},
        {"\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, 1024, "\\\\.\\DISPLAY1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        ASSERT_TRUE(EnumDisplaySettingsA(c.device, c.mode, &mode));
        EXPECT_EQ(mode.dmPelsWidth, c.width);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(mode.dmDeviceName)), c.name);
    }
}

}  // namespace
