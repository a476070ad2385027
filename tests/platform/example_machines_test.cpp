// The example machines load and hang together the way the plug-in looks
// things up: an adapter's driver key, and a monitor's EDID.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "PlatformTest.h"

namespace {

using Json = nlohmann::json;

// The value's data, empty when the key or the value is missing.
std::vector<BYTE> Value(const std::string& path, const char* name)
{
    HKEY key = nullptr;
    std::vector<BYTE> data(2048);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    const LSTATUS result = RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size);
    RegCloseKey(key);
    data.resize(result == ERROR_SUCCESS ? size : 0);
    return data;
}

class ExampleMachineTest : public PlatformTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleMachineTest, LoadsAndHangsTogether)
{
    const auto path = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                      "examples" / "machines" / GetParam();
    ASSERT_NO_THROW(displayplatform::LoadMachineFile(path.string()));
    std::ifstream file(path);
    const Json description = Json::parse(file);
    ASSERT_FALSE(description["displayDevices"].empty());
    for (const Json& adapter : description["displayDevices"]) {
        // The plug-in opens the driver key from "system" on, in lower case.
        std::string key = adapter["deviceKey"];
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const std::string driverKey = key.substr(key.find("system"));
        EXPECT_FALSE(Value(driverKey, "HardwareInformation.BiosString").empty()) << key;
        for (const Json& monitor : adapter.value("monitors", Json::array())) {
            // The monitor's device ID cut at "\{" begins the ids of a DISPLAY\ device.
            const std::string id = monitor["deviceID"];
            const std::string hardwareId = id.substr(0, id.find("\\{"));
            std::string instanceId;
            for (const Json& device : description["devices"]) {
                for (const Json& candidate : device.value("hardwareIds", Json::array())) {
                    if (device["instanceId"].get<std::string>().rfind("DISPLAY\\", 0) == 0 &&
                        _strnicmp(candidate.get<std::string>().c_str(), hardwareId.c_str(),
                                  hardwareId.size()) == 0) {
                        instanceId = device["instanceId"];
                    }
                }
            }
            const std::vector<BYTE> edid = Value(
                "System\\CurrentControlSet\\Enum\\" + instanceId + "\\Device Parameters", "EDID");
            ASSERT_GE(edid.size(), 128u) << id;
            EXPECT_EQ(edid.size(), 128u * (1 + edid[126])) << id;
            for (std::size_t block = 0; block < edid.size(); block += 128) {
                BYTE sum = 0;
                for (std::size_t i = 0; i < 128; ++i) {
                    sum = static_cast<BYTE>(sum + edid[block + i]);
                }
                EXPECT_EQ(sum, 0) << "checksum of block " << block / 128 << " of " << id;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleMachineTest,
                         ::testing::Values("workstation.json", "laptop.json"));

}  // namespace
