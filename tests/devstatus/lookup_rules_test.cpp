#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devstatus/DeviceIdList.h"
#include "devstatus/LookupRules.h"
#include "support/HostFixture.h"

namespace {

// The driver key found in a device key, or "none".
std::string DriverKey(const std::string& deviceKey)
{
    std::vector<char> path(LookupRules::kDriverValueSize, 'X');
    const char* key = LookupRules::DriverKeyInPath(deviceKey, path.data());
    return key != nullptr ? key : "none";
}

// Identifiers of the longest length a machine description takes, the last
// one shortened by `shorter`, numbered so that each is different.
std::vector<std::string> LongIds(std::size_t count, std::size_t shorter)
{
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(i) + "-";
        ids.push_back(number + std::string(199 - number.size() - (i + 1 == count ? shorter : 0),
                                           static_cast<char>('A' + i % 26)));
    }
    return ids;
}

// The identifiers as a JSON array; a backslash is their only character to escape.
std::string JsonArray(const std::vector<std::string>& ids)
{
    std::string json = "[";
    for (const std::string& id : ids) {
        json += json.size() > 1 ? ", \"" : "\"";
        for (char c : id) {
            json += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        json += "\"";
    }
    return json + "]";
}

std::vector<std::string> Entries(const std::optional<DeviceIdList>& list)
{
    std::vector<std::string> entries;
    for (const char* const* entry = list->entries.get(); *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

}  // namespace

TEST(LookupRulesTest, DriverKeyIsTheLowerCasedKernelPathFromSystemOn)
{
    EXPECT_EQ("system\\currentcontrolset\\control\\video\\{1a2b}\\0000",
              DriverKey("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{1A2B}\\0000"));
    // Only paths through the machine hive name a key below HKEY_LOCAL_MACHINE;
    // "system" is looked for wherever it stands.
    EXPECT_EQ("none", DriverKey("\\Registry\\User\\System\\Video"));
    EXPECT_EQ("none", DriverKey("\\Registry\\Machine\\Software\\Video"));
    EXPECT_EQ("system\\..\\machine", DriverKey("System\\..\\Machine"));
    EXPECT_EQ("none", DriverKey(""));
    // The path is cut to what its buffer holds, terminator included.
    const std::string tail(LookupRules::kDriverValueSize, 'K');
    EXPECT_EQ("system\\" + std::string(LookupRules::kDriverValueSize - 1 - 25, 'k'),
              DriverKey("\\Registry\\Machine\\System\\" + tail));
}

TEST(LookupRulesTest, MonitorHardwareIdEndsBeforeTheFirstClassGuid)
{
    EXPECT_EQ("MONITOR\\GSM5B7F",
              LookupRules::MonitorHardwareId(
                  "MONITOR\\GSM5B7F\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001"));
    EXPECT_EQ("MONITOR\\A", LookupRules::MonitorHardwareId("MONITOR\\A\\{x}\\{y}"));
    EXPECT_EQ("MONITOR\\DEL40F2\\0001", LookupRules::MonitorHardwareId("MONITOR\\DEL40F2\\0001"));
    EXPECT_EQ("", LookupRules::MonitorHardwareId("\\{x}"));
}

TEST(LookupRulesTest, AdaptersWithoutIdCountOnlyWhereNoAdapterReportsOne)
{
    EXPECT_TRUE(LookupRules::AdapterExamined(true, "PCI\\VEN_10DE"));
    EXPECT_FALSE(LookupRules::AdapterExamined(true, ""));
    EXPECT_TRUE(LookupRules::AdapterExamined(false, ""));
}

class DeviceIdListTest : public HostFixture {
protected:
    DeviceIdListRead Read(DWORD property)
    {
        HDEVINFO set =
            SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        EXPECT_TRUE(SetupDiEnumDeviceInfo(set, 0, &device));
        DeviceIdListRead read = ReadDeviceIdList(set, device, property);
        SetupDiDestroyDeviceInfoList(set);
        return read;
    }
};

TEST_F(DeviceIdListTest, ListsBeyondTheFirstOfferTakeOneExactlySizedRetry)
{
    // Lists whose strings, each ended by a zero and the whole by one more,
    // fill the first offer exactly, and overflow it.
    const std::vector<std::string> fits = LongIds(45, 1);
    std::vector<std::string> overflows = LongIds(46, 0);
    overflows.push_back("PCI\\LAST");
    LoadMachine(R"({"devices": [{"instanceId": "PCI\\A\\0", "hardwareIds": )" + JsonArray(fits) +
                R"(, "compatibleIds": )" + JsonArray(overflows) + "}]}");

    DeviceIdListRead hardware = Read(SPDRP_HARDWAREID);
    ASSERT_TRUE(hardware.list);
    EXPECT_EQ(1u, hardware.propertyCalls);
    EXPECT_EQ(fits, Entries(hardware.list));

    DeviceIdListRead compatible = Read(SPDRP_COMPATIBLEIDS);
    ASSERT_TRUE(compatible.list);
    EXPECT_FALSE(compatible.outOfMemory);
    EXPECT_EQ(2u, compatible.propertyCalls);
    EXPECT_EQ(overflows, Entries(compatible.list));
    EXPECT_TRUE(ListHasPrefix(compatible.list, "pci\\la"));
    EXPECT_FALSE(ListHasPrefix(compatible.list, "PCI\\LAST\\"));
}
