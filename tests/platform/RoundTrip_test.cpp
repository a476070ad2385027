// A description reads back through the Win32 functions exactly as written;
// the example machines load and hang together the way the plug-in looks
// things up.
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "PlatformTest.h"

namespace {

using Json = nlohmann::json;

const std::filesystem::path kExamples =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "examples" / "machines";

std::vector<std::string> SplitMultiString(const BYTE* data)
{
    std::vector<std::string> strings;
    for (auto* text = reinterpret_cast<const char*>(data); *text != '\0'; text += std::strlen(text) + 1) {
        strings.emplace_back(text);
    }
    return strings;
}

// The bytes a payload stands for, worked out independently of the loader
// (utf16 texts here are ASCII).
std::vector<BYTE> PayloadBytes(const Json& value)
{
    std::vector<BYTE> bytes;
    if (value.contains("string")) {
        const auto text = value["string"].get<std::string>();
        bytes.assign(text.begin(), text.end());
        bytes.push_back(0);
    } else if (value.contains("strings")) {
        for (const auto& item : value["strings"]) {
            const auto text = item.get<std::string>();
            bytes.insert(bytes.end(), text.begin(), text.end());
            bytes.push_back(0);
        }
        bytes.push_back(0);
    } else if (value.contains("dword")) {
        const auto number = value["dword"].get<DWORD>();
        bytes = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
    } else if (value.contains("hex")) {
        std::istringstream text(value["hex"].get<std::string>());
        std::string pair;
        while (text >> pair) {
            for (std::size_t i = 0; i < pair.size(); i += 2) {
                bytes.push_back(static_cast<BYTE>(std::stoul(pair.substr(i, 2), nullptr, 16)));
            }
        }
    } else {
        for (char c : value["utf16"].get<std::string>() + std::string(1, '\0')) {
            bytes.push_back(static_cast<BYTE>(c));
            bytes.push_back(0);
        }
    }
    return bytes;
}

void ExpectDisplayDevice(const Json& expected, const DISPLAY_DEVICEA& actual)
{
    EXPECT_EQ(actual.DeviceName, expected["deviceName"].get<std::string>());
    EXPECT_EQ(actual.DeviceString, expected.value("deviceString", ""));
    EXPECT_EQ(actual.StateFlags, expected.value("stateFlags", 0u));
    EXPECT_EQ(actual.DeviceID, expected.value("deviceID", ""));
    EXPECT_EQ(actual.DeviceKey, expected.value("deviceKey", ""));
}

void ExpectMode(const Json& expected, const char* device, DWORD modeNumber)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    ASSERT_TRUE(EnumDisplaySettingsA(device, modeNumber, &mode)) << device << " mode " << modeNumber;
    EXPECT_EQ(mode.dmBitsPerPel, expected.value("bitsPerPel", 0u));
    EXPECT_EQ(mode.dmPelsWidth, expected.value("pelsWidth", 0u));
    EXPECT_EQ(mode.dmPelsHeight, expected.value("pelsHeight", 0u));
    EXPECT_EQ(mode.dmDisplayFrequency, expected.value("displayFrequency", 0u));
    EXPECT_EQ(mode.dmDisplayFlags, expected.value("displayFlags", 0u));
}

void ExpectDisplays(const Json& adapters)
{
    DISPLAY_DEVICEA record{};
    record.cb = sizeof record;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const Json& adapter = adapters[i];
        ASSERT_TRUE(EnumDisplayDevicesA(nullptr, static_cast<DWORD>(i), &record, 0));
        ExpectDisplayDevice(adapter, record);
        const std::string name = record.DeviceName;
        const Json monitors = adapter.value("monitors", Json::array());
        for (std::size_t m = 0; m <= monitors.size(); ++m) {
            const BOOL found = EnumDisplayDevicesA(name.c_str(), static_cast<DWORD>(m), &record, 0);
            ASSERT_EQ(found, m < monitors.size() ? TRUE : FALSE);
            if (found) {
                ExpectDisplayDevice(monitors[m], record);
            }
        }
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        if (adapter.contains("currentMode")) {
            ExpectMode(adapter["currentMode"], name.c_str(), ENUM_CURRENT_SETTINGS);
        } else {
            EXPECT_FALSE(EnumDisplaySettingsA(name.c_str(), ENUM_CURRENT_SETTINGS, &mode));
        }
        const Json modes = adapter.value("modes", Json::array());
        for (std::size_t m = 0; m < modes.size(); ++m) {
            ExpectMode(modes[m], name.c_str(), static_cast<DWORD>(m));
        }
        EXPECT_FALSE(EnumDisplaySettingsA(name.c_str(), static_cast<DWORD>(modes.size()), &mode));
    }
    EXPECT_FALSE(EnumDisplayDevicesA(nullptr, static_cast<DWORD>(adapters.size()), &record, 0));
}

void ExpectIdList(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property, const Json& device,
                  const char* key)
{
    BYTE buffer[9002] = {};
    DWORD type = 0;
    DWORD size = 0;
    const BOOL found =
        SetupDiGetDeviceRegistryPropertyA(set, &data, property, &type, buffer, 9000, &size);
    ASSERT_EQ(found, device.contains(key) ? TRUE : FALSE) << key;
    if (found) {
        EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
        EXPECT_EQ(SplitMultiString(buffer), device[key].get<std::vector<std::string>>());
    }
}

void ExpectDevices(const Json& devices)
{
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const Json& device = devices[i];
        ASSERT_TRUE(SetupDiEnumDeviceInfo(set, static_cast<DWORD>(i), &data));
        char id[MAX_DEVICE_ID_LEN];
        ASSERT_EQ(CM_Get_Device_IDA(data.DevInst, id, sizeof id, 0), CR_SUCCESS);
        EXPECT_EQ(id, device["instanceId"].get<std::string>());
        ExpectIdList(set, data, SPDRP_HARDWAREID, device, "hardwareIds");
        ExpectIdList(set, data, SPDRP_COMPATIBLEIDS, device, "compatibleIds");
        ULONG status = 0;
        ULONG problem = 0;
        const CONFIGRET result = CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0);
        if (device.value("statusFails", false)) {
            EXPECT_NE(result, CR_SUCCESS) << id;
        } else {
            EXPECT_EQ(result, CR_SUCCESS) << id;
            EXPECT_EQ(status, device.value("status", 0x0180200Au)) << id;
            EXPECT_EQ(problem, device.value("problem", 0u)) << id;
        }
    }
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set, static_cast<DWORD>(devices.size()), &data));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
}

void ExpectRegistry(const Json& registry)
{
    for (const auto& key : registry.items()) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.key().c_str(), 0, KEY_READ, &handle),
                  ERROR_SUCCESS)
            << key.key();
        for (const auto& value : key.value().items()) {
            std::vector<BYTE> data(4096);
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            ASSERT_EQ(RegQueryValueExA(handle, value.key().c_str(), nullptr, &type, data.data(), &size),
                      ERROR_SUCCESS)
                << key.key() << " " << value.key();
            data.resize(size);
            static const std::map<std::string, DWORD> types = {
                {"REG_SZ", REG_SZ}, {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_BINARY", REG_BINARY},
                {"REG_DWORD", REG_DWORD}, {"REG_MULTI_SZ", REG_MULTI_SZ}, {"REG_QWORD", REG_QWORD}};
            EXPECT_EQ(type, types.at(value.value()["type"].get<std::string>())) << value.key();
            EXPECT_EQ(data, PayloadBytes(value.value())) << key.key() << " " << value.key();
        }
        EXPECT_EQ(RegCloseKey(handle), ERROR_SUCCESS);
    }
}

void ExpectMachine(const Json& description)
{
    ExpectDisplays(description.value("displayDevices", Json::array()));
    ExpectDevices(description.value("devices", Json::array()));
    ExpectRegistry(description.value("registry", Json::object()));
}

using RoundTripTest = PlatformTest;

TEST_F(RoundTripTest, DescriptionReadsBackAsWritten)
{
    const char* const description = R"({
      "displayDevices": [
        {"deviceName": "\\\\.\\DISPLAY1", "deviceString": "Example Graphics 3000", "stateFlags": 5,
         "deviceID": "PCI\\VEN_10DE&DEV_2504", "deviceKey": "\\Registry\\Machine\\System\\Video\\0000",
         "currentMode": {"bitsPerPel": 32, "pelsWidth": 2560, "pelsHeight": 1440,
                         "displayFrequency": 144, "displayFlags": 0},
         "modes": [{"bitsPerPel": 32, "pelsWidth": 640, "pelsHeight": 480, "displayFrequency": 60}],
         "monitors": [{"deviceName": "\\\\.\\DISPLAY1\\Monitor0", "deviceString": "Generic PnP Monitor",
                       "stateFlags": 3, "deviceID": "MONITOR\\GSM5B7F\\{4d36e96e}\\0001"}]},
        {"deviceName": "\\\\.\\DISPLAY2"}
      ],
      "devices": [
        {"instanceId": "DISPLAY\\GSM5B7F\\5&2B3C4D5E&0&UID4352", "hardwareIds": ["MONITOR\\GSM5B7F"],
         "compatibleIds": ["*PNP09FF"], "status": 25174026, "problem": 0},
        {"instanceId": "PCI\\VEN_10DE&DEV_2504\\4&1&0&0019", "hardwareIds": [], "statusFails": true}
      ],
      "registry": {
        "SYSTEM\\CurrentControlSet\\Control\\Video\\{1}\\0000": {
          "HardwareInformation.AdapterString": {"type": "REG_BINARY", "utf16": "Example 3000"},
          "HardwareInformation.MemorySize": {"type": "REG_BINARY", "hex": "00000080"},
          "HardwareInformation.ChipType": {"type": "REG_SZ", "string": "GA106"},
          "Modes": {"type": "REG_MULTI_SZ", "strings": ["640x480", "800x600"]},
          "Number": {"type": "REG_DWORD", "dword": 4294967295},
          "Path": {"type": "REG_EXPAND_SZ", "string": "%SystemRoot%"}
        }
      }
    })";
    Load(description);
    ExpectMachine(Json::parse(description));
}

// The plug-in's way from a monitor to its EDID: the monitor's device ID cut
// at "\{", a device under DISPLAY\ whose ids begin with it, and the EDID value
// of that device's "Device Parameters" key.
std::vector<BYTE> MonitorEdid(const Json& description, const std::string& monitorId)
{
    const std::string hardwareId = monitorId.substr(0, monitorId.find("\\{"));
    std::string instanceId;
    for (const Json& device : description["devices"]) {
        const std::string id = device["instanceId"];
        for (const Json& candidate : device.value("hardwareIds", Json::array())) {
            if (id.rfind("DISPLAY\\", 0) == 0 &&
                _strnicmp(candidate.get<std::string>().c_str(), hardwareId.c_str(), hardwareId.size()) == 0) {
                instanceId = id;
            }
        }
    }
    EXPECT_NE(instanceId, "") << "no device for " << monitorId;
    HKEY key = nullptr;
    const std::string path = "System\\CurrentControlSet\\Enum\\" + instanceId + "\\Device Parameters";
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path;
    std::vector<BYTE> edid(2048);
    DWORD size = static_cast<DWORD>(edid.size());
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "EDID", nullptr, &type, edid.data(), &size), ERROR_SUCCESS) << path;
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    RegCloseKey(key);
    edid.resize(size);
    return edid;
}

class ExampleMachineTest : public PlatformTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleMachineTest, LoadsReadsBackAndHangsTogether)
{
    const auto path = kExamples / GetParam();
    ASSERT_NO_THROW(displayplatform::LoadMachineFile(path.string()));
    std::ifstream file(path);
    const Json description = Json::parse(file);
    ExpectMachine(description);

    for (const Json& adapter : description["displayDevices"]) {
        // The plug-in opens the driver key from "system" on, in lower case.
        std::string key = adapter["deviceKey"];
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        HKEY driver = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.substr(key.find("system")).c_str(), 0,
                                KEY_READ, &driver),
                  ERROR_SUCCESS)
            << key;
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExA(driver, "HardwareInformation.BiosString", nullptr, nullptr,
                                   nullptr, &size),
                  ERROR_SUCCESS);
        RegCloseKey(driver);
        for (const Json& monitor : adapter.value("monitors", Json::array())) {
            const std::vector<BYTE> edid = MonitorEdid(description, monitor["deviceID"]);
            ASSERT_GE(edid.size(), 128u);
            EXPECT_EQ(edid.size(), 128u * (1 + edid[126]));
            for (std::size_t block = 0; block < edid.size(); block += 128) {
                BYTE sum = 0;
                for (std::size_t i = 0; i < 128; ++i) {
                    sum = static_cast<BYTE>(sum + edid[block + i]);
                }
                EXPECT_EQ(sum, 0) << "checksum of block " << block / 128 << " of "
                                  << monitor["deviceID"];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleMachineTest,
                         ::testing::Values("workstation.json", "laptop.json"));

}  // namespace
