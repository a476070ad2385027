// The device installer's view of a description's devices.
#include <vector>

#include "PlatformTest.h"

namespace {

class SetupApiTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(R"({"devices": [{"instanceId": "PCI\\VEN_10DE\\0", "hardwareIds": ["PCI\\VEN_10DE"]},
                             {"instanceId": "DISPLAY\\GSM5B7F\\1", "hardwareIds": ["M"]}]})");
    }
    // A set of the present devices, all of them or those of an enumerator.
    static HDEVINFO Set(const char* enumerator = nullptr)
    {
        return SetupDiGetClassDevsA(nullptr, enumerator, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    }
    static SP_DEVINFO_DATA First(HDEVINFO set)
    {
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        EXPECT_TRUE(SetupDiEnumDeviceInfo(set, 0, &data));
        return data;
    }
};

TEST_F(SetupApiTest, PropertiesOnlyOfTheSetsMembersAndOpenAddsOne)
{
    HDEVINFO all = Set(), monitors = Set("DISPLAY");
    SP_DEVINFO_DATA data = First(monitors);
    data.DevInst = First(all).DevInst;  // the adapter, not in the monitors' set
    std::vector<BYTE> buffer(9000);
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(monitors, &data, SPDRP_HARDWAREID, nullptr,
                                                   buffer.data(), 9000, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(SetupDiOpenDeviceInfoA(monitors, "PCI\\VEN_10DE\\0", nullptr, 0, nullptr));
    EXPECT_TRUE(SetupDiGetDeviceRegistryPropertyA(monitors, &data, SPDRP_HARDWAREID, nullptr,
                                                  buffer.data(), 9000, nullptr));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(monitors));

    // A destroyed set is refused right after its last use; another stays usable.
    HDEVINFO other = Set();
    First(other);
    ASSERT_TRUE(SetupDiDestroyDeviceInfoList(other));
    EXPECT_FALSE(SetupDiEnumDeviceInfo(other, 0, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(other));
    First(all);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(all));
}

// An enumerator names the first part of an instance identifier, or one
// identifier in full, compared without regard to case as Windows does.
TEST_F(SetupApiTest, EnumeratorSelectsByFirstPartOrWholeIdIgnoringCase)
{
    const struct {
        const char* enumerator;
        DWORD members;
    } cases[] = {
        {"DISPLAY", 1},          {"display", 1},        {"Pci", 1},
        {"pci\\ven_10de\\0", 1}, {"PCI\\VEN_10DE", 0}, {"DISP", 0},
    };
    for (const auto& c : cases) {
        HDEVINFO set = Set(c.enumerator);
        ASSERT_NE(set, INVALID_HANDLE_VALUE) << c.enumerator;
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        DWORD members = 0;
        while (SetupDiEnumDeviceInfo(set, members, &data)) {
            ++members;
        }
        EXPECT_EQ(members, c.members) << c.enumerator;
        EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
    }
}

}  // namespace
