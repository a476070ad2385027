// The live machine: a small DRM tree built in a temporary folder, laid out
// as sysfs lays it out (class links pointing into /sys/devices), read into a
// machine description that the loader must accept.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>

#include "PlatformTest.h"
#include "platform/posix/live/DeviceIds.h"
#include "platform/posix/live/LiveMachine.h"

namespace {

namespace fs = std::filesystem;
using namespace displayplatform::live;
using Json = nlohmann::json;

class FakeNames : public IPciNames {
public:
    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        if (vendor == 0x10DE) return std::string("NVIDIA Corporation");
        if (vendor == 0x1002) return std::string("Advanced Micro Devices, Inc. [AMD/ATI]");
        return std::nullopt;
    }
    std::optional<std::string> DeviceName(std::uint16_t vendor, std::uint16_t device) override
    {
        if (vendor == 0x10DE && device == 0x2504) return std::string("GA106 [GeForce RTX 3060]");
        return std::nullopt;
    }
};

// Answers for the nodes it was given; every other node is absent.
class FakeModes : public IModeSource {
public:
    std::map<std::string, CardModes> cards;
    std::map<std::string, std::string> unavailable;
    NodeState ReadCard(const std::string& nodePath, CardModes& modes, std::string& error) override
    {
        const std::string card = nodePath.substr(nodePath.rfind('/') + 1);
        if (unavailable.count(card) != 0) {
            error = unavailable[card];
            return NodeState::kUnavailable;
        }
        if (cards.count(card) == 0) {
            return NodeState::kAbsent;
        }
        modes = cards[card];
        return NodeState::kRead;
    }
};

// An EDID base block of the given manufacturer bytes and product code.
std::string Edid(unsigned char m0, unsigned char m1, unsigned product, std::size_t size = 128)
{
    std::string edid(size, '\0');
    const unsigned char header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    for (std::size_t i = 0; i < 8 && i < size; ++i) edid[i] = static_cast<char>(header[i]);
    if (size > 11) {
        edid[8] = static_cast<char>(m0);
        edid[9] = static_cast<char>(m1);
        edid[10] = static_cast<char>(product & 0xFF);
        edid[11] = static_cast<char>(product >> 8);
    }
    return edid;
}

struct ConnectorSpec {
    std::string name;  // "DP-1"
    bool enabled;
    bool connected;
    std::string edid;
    std::string modes = "1920x1080\n1280x720\n1920x1080\n";
};

class Tree {
public:
    Tree()
    {
        char pattern[] = "/tmp/live-machine-XXXXXX";
        root_ = mkdtemp(pattern);
    }
    ~Tree() { fs::remove_all(root_); }
    const std::string& root() const { return root_; }

    void Write(const std::string& path, const std::string& content)
    {
        fs::create_directories(fs::path(root_ + "/" + path).parent_path());
        std::ofstream(root_ + "/" + path, std::ios::binary) << content;
    }
    void Link(const std::string& path, const std::string& target)
    {
        fs::create_directories(fs::path(root_ + "/" + path).parent_path());
        fs::create_symlink(target, root_ + "/" + path);
    }

    // A PCI card; its folder below sys/devices is returned.
    std::string PciCard(unsigned n, const std::string& address, const std::string& vendor,
                        const std::string& device, const std::string& driver, bool bootVga,
                        const std::vector<ConnectorSpec>& connectors)
    {
        const std::string dev = "sys/devices/pci0000:00/" + address;
        Write(dev + "/vendor", vendor + "\n");
        Write(dev + "/device", device + "\n");
        Write(dev + "/subsystem_vendor", "0x1462\n");
        Write(dev + "/subsystem_device", "0x397d\n");
        Write(dev + "/revision", "0xa1\n");
        Write(dev + "/class", "0x030000\n");
        Write(dev + "/boot_vga", bootVga ? "1\n" : "0\n");
        if (!driver.empty()) {
            fs::create_directories(root_ + "/sys/bus/pci/drivers/" + driver);
            Link(dev + "/driver", "../../../bus/pci/drivers/" + driver);
        }
        AddCard(n, dev, "../../../" + address, "../../devices/pci0000:00/" + address, connectors);
        return dev;
    }

    void AddCard(unsigned n, const std::string& dev, const std::string& deviceLink,
                 const std::string& classLink, const std::vector<ConnectorSpec>& connectors)
    {
        const std::string card = "card" + std::to_string(n);
        Link(dev + "/drm/" + card + "/device", deviceLink);
        Link("sys/class/drm/" + card, classLink + "/drm/" + card);
        int id = 30;
        for (const ConnectorSpec& c : connectors) {
            const std::string folder = dev + "/drm/" + card + "/" + card + "-" + c.name;
            Write(folder + "/enabled", c.enabled ? "enabled\n" : "disabled\n");
            Write(folder + "/status", c.connected ? "connected\n" : "disconnected\n");
            Write(folder + "/edid", c.edid);
            Write(folder + "/modes", c.modes);
            Write(folder + "/connector_id", std::to_string(id++) + "\n");
        }
    }

private:
    std::string root_;
};

struct Reading {
    Json machine;
    std::vector<std::string> problems;
};

Reading Read(const Tree& tree, FakeModes& modes)
{
    FakeNames names;
    LiveSources sources;
    sources.root = tree.root();
    sources.modes = &modes;
    sources.pciNames = &names;
    sources.computerName = "build-host.example.org";
    LiveMachine live = ReadLiveMachine(sources);
    return {live.description, live.problems};
}

Reading Read(const Tree& tree)
{
    FakeModes modes;
    return Read(tree, modes);
}

std::string AllProblems(const Reading& r)
{
    std::string all;
    for (const auto& p : r.problems) all += p + "\n";
    return all;
}

using LiveMachineTest = PlatformTest;

TEST(LiveIds, PciIdentitiesAreFormattedAsWindowsDoes)
{
    PciIdentity full{0x10de, 0x2504, 0x1462, 0x397d, 0xa1, 0x030000};
    PciIdentity noClass{0x102b, 0x0534, 0x103c, 0x0754, 0x01, std::nullopt};
    const struct {
        PciIdentity id;
        std::vector<std::string> hardware;
        std::size_t compatibleCount;
    } cases[] = {
        {full,
         {"PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462&REV_A1", "PCI\\VEN_10DE&DEV_2504&SUBSYS_397D1462",
          "PCI\\VEN_10DE&DEV_2504&CC_030000", "PCI\\VEN_10DE&DEV_2504&CC_0300"},
         7},
        {noClass,
         {"PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C&REV_01", "PCI\\VEN_102B&DEV_0534&SUBSYS_0754103C"},
         3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PciHardwareIds(c.id), c.hardware);
        EXPECT_EQ(PciCompatibleIds(c.id).size(), c.compatibleCount);
    }
    EXPECT_EQ(PciCompatibleIds(full).back(), "PCI\\CC_0300");

    const struct {
        const char* text;
        bool valid;
        const char* suffixEnd;  // of PciInstanceSuffix
    } addresses[] = {
        {"0000:01:00.0", true, "&0&0000"},  {"0000:00:1c.4", true, "&0&04E4"},
        {"0000:00:03.1", true, "&0&0119"},  {"0000:00:20.0", false, ""},
        {"0000:00:02.8", false, ""},        {"0000:00:02.0x", false, ""},
        {"platform", false, ""},           {"0000-00:02.0", false, ""},
    };
    for (const auto& a : addresses) {
        const auto address = ParsePciAddress(a.text);
        ASSERT_EQ(address.has_value(), a.valid) << a.text;
        if (address) {
            const std::string suffix = PciInstanceSuffix("pci0000:00", *address);
            EXPECT_EQ(suffix.substr(0, 2), "4&");
            EXPECT_EQ(suffix.substr(10), a.suffixEnd) << a.text;
            EXPECT_NE(suffix, PciInstanceSuffix("pci0000:00/0000:00:01.0", *address))
                << "the parent bus is part of the ID";
        }
    }
}

TEST(LiveIds, MonitorModelComesFromTheEdidManufacturerAndProduct)
{
    const struct {
        std::string edid;
        const char* model;  // "" when refused
        const char* why;
    } cases[] = {
        {Edid(0x10, 0xAC, 0x40F2), "DEL40F2", ""},
        {Edid(0x1E, 0x6D, 0x5B7F), "GSM5B7F", ""},
        {Edid(0x4C, 0x2D, 0x02A5, 256), "SAM02A5", ""},
        {Edid(0x00, 0x00, 0x0001), "@@@0001", ""},
        {Edid(0x10, 0xAC, 0x40F2, 127), "", "fewer than the 128"},
        {std::string(128, '\x01'), "", "header"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto model = MonitorModelFromEdid(c.edid, why);
        EXPECT_EQ(model ? model->pnpId + model->product : "", c.model);
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
}

TEST(LiveIds, HostNameAndZoneBecomeWhatWindowsReports)
{
    const struct {
        const char* host;
        const char* name;
    } names[] = {
        {"build-host.example.org", "BUILD-HOST"},
        {"averyveryverylonghostname", "AVERYVERYVERYLO"},
        {"", "LOCALHOST"},
        {".local", "LOCALHOST"},
        {"h\xc3\xa9te", "HTE"},
    };
    for (const auto& n : names) {
        EXPECT_EQ(NetBiosName(n.host), n.name) << n.host;
    }

    const struct {
        ZoneOffsets zone;
        long result;
        long bias;
        long daylightBias;
    } zones[] = {
        {{0, std::nullopt, false}, 0, 0, 0},
        {{3600, 7200, false}, 1, -60, -60},
        {{3600, 7200, true}, 2, -60, -60},
        {{-18000, -14400, true}, 2, 300, -60},
        {{19800, std::nullopt, false}, 0, -330, 0},
        {{37800, 41400, false}, 1, -630, -60},
    };
    for (const auto& z : zones) {
        const Json entry = TimeZoneEntry(z.zone);
        EXPECT_EQ(entry["result"], z.result);
        EXPECT_EQ(entry["bias"], z.bias);
        EXPECT_EQ(entry["daylightBias"], z.daylightBias);
        EXPECT_EQ(entry["standardBias"], 0);
    }
}

TEST_F(LiveMachineTest, CardsOutputsAndMonitorsFollowWindowsLayout)
{
    Tree tree;
    const std::string dell = Edid(0x10, 0xAC, 0x40F2, 256);
    tree.PciCard(0, "0000:00:02.0", "0x1002", "0x73bf", "amdgpu", false,
                 {{"DP-1", true, true, dell}, {"HDMI-A-1", false, false, ""}});
    const std::string nvidia = tree.PciCard(1, "0000:01:00.0", "0x10de", "0x2504", "nvidia", true,
                                            {{"DP-2", false, true, Edid(0x1E, 0x6D, 0x5B7F)},
                                             {"DP-3", true, false, ""},
                                             {"HDMI-A-2", true, true, Edid(0x1E, 0x6D, 0x5B7F)}});
    tree.Write("sys/devices/pci0000:00/0000:00:02.0/mem_info_vram_total", "17163091968\n");
    tree.Write("sys/devices/pci0000:00/0000:00:02.0/vbios_version", "113-D4120100-100\n");
    tree.Write("proc/driver/nvidia/gpus/0000:01:00.0/information",
               "Model: \t\t GeForce\nVideo BIOS: \t 94.06.2c.00.8f\nBus Type: PCIe\n");

    const Reading r = Read(tree);
    EXPECT_TRUE(r.problems.empty()) << AllProblems(r);
    const Json& outputs = r.machine["displayDevices"];
    ASSERT_EQ(outputs.size(), 5u);
    const struct {
        const char* name;
        unsigned flags;
        std::size_t monitors;
        unsigned monitorFlags;
    } expected[] = {
        {"\\\\.\\DISPLAY1", 1, 1, 3},
        {"\\\\.\\DISPLAY2", 0, 0, 0},
        // card1 is the boot VGA card: its first enabled output is primary.
        {"\\\\.\\DISPLAY3", 0, 1, 2},
        {"\\\\.\\DISPLAY4", 5, 0, 0},
        {"\\\\.\\DISPLAY5", 1, 1, 3},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(outputs[i]["deviceName"], expected[i].name);
        EXPECT_EQ(outputs[i]["stateFlags"], expected[i].flags) << i;
        ASSERT_EQ(outputs[i]["monitors"].size(), expected[i].monitors) << i;
        if (expected[i].monitors != 0) {
            EXPECT_EQ(outputs[i]["monitors"][0]["stateFlags"], expected[i].monitorFlags);
        }
    }
    EXPECT_EQ(outputs[0]["deviceID"], "PCI\\VEN_1002&DEV_73BF&SUBSYS_397D1462&REV_A1");
    EXPECT_EQ(outputs[0]["deviceString"], "Advanced Micro Devices, Inc. [AMD/ATI] Device 73bf");
    EXPECT_EQ(outputs[3]["deviceString"], "NVIDIA Corporation GA106 [GeForce RTX 3060]");
    EXPECT_EQ(outputs[0]["monitors"][0]["deviceID"],
              "MONITOR\\DEL40F2\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0000");
    EXPECT_EQ(outputs[4]["monitors"][0]["deviceID"],
              "MONITOR\\GSM5B7F\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0002");

    // The monitor's device and its registry values, the EDID byte for byte.
    const Json& devices = r.machine["devices"];
    std::string dellInstance;
    for (const Json& d : devices) {
        if (d["hardwareIds"][0] == "MONITOR\\DEL40F2") dellInstance = d["instanceId"];
    }
    ASSERT_EQ(dellInstance.rfind("DISPLAY\\DEL40F2\\5&", 0), 0u) << dellInstance;
    const Json& registry = r.machine["registry"];
    const std::string enumKey = "SYSTEM\\CurrentControlSet\\Enum\\" + dellInstance;
    ASSERT_TRUE(registry.contains(enumKey + "\\Device Parameters"));
    const std::string hex = registry[enumKey + "\\Device Parameters"]["EDID"]["hex"];
    EXPECT_EQ(hex.size(), 256u * 3 - 1);
    EXPECT_EQ(hex.substr(0, 35), "00 ff ff ff ff ff ff 00 10 ac f2 40");
    EXPECT_EQ(registry[enumKey]["DeviceDesc"]["string"],
              "@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor");

    // The driver data under the key that DeviceKey names.
    const std::string amdKey = std::string(outputs[0]["deviceKey"]).substr(18);
    const Json& amd = registry[amdKey];
    EXPECT_EQ(amd["HardwareInformation.BiosString"]["utf16"], "113-D4120100-100");
    EXPECT_EQ(amd["HardwareInformation.MemorySize"]["hex"], "00 00 f0 ff");
    EXPECT_EQ(amd["HardwareInformation.qwMemorySize"]["hex"], "00 00 00 ff 03 00 00 00");
    EXPECT_FALSE(amd.contains("HardwareInformation.ChipType"));
    const Json& nv = registry[std::string(outputs[3]["deviceKey"]).substr(18)];
    EXPECT_EQ(nv["HardwareInformation.BiosString"]["utf16"], "94.06.2c.00.8f");
    EXPECT_EQ(nv["HardwareInformation.ChipType"]["utf16"], "GA106 [GeForce RTX 3060]");
    EXPECT_FALSE(nv.contains("HardwareInformation.MemorySize"));

    // The same tree gives the same IDs; the loader takes the description.
    EXPECT_EQ(Read(tree).machine, r.machine);
    EXPECT_NO_THROW(Load(r.machine.dump()));
    DISPLAY_DEVICEA device{};
    device.cb = sizeof device;
    ASSERT_TRUE(EnumDisplayDevicesA(nullptr, 3, &device, 0));
    EXPECT_EQ(device.StateFlags, 5u);
}

TEST_F(LiveMachineTest, DriverlessAndNonPciCardsAreStillReported)
{
    Tree tree;
    tree.PciCard(0, "0000:03:00.0", "0x10de", "0x2504", "", false,
                 {{"DP-1", true, false, ""}});
    tree.Write("sys/devices/platform/soc/fe600000.v3d/uevent",
               "DRIVER=vc4-drm\nOF_COMPATIBLE_0=brcm,bcm2711-vc5\n");
    fs::create_directories(tree.root() + "/sys/bus/platform/drivers/vc4-drm");
    tree.Link("sys/devices/platform/soc/fe600000.v3d/driver", "../../../../bus/platform/drivers/vc4-drm");
    tree.AddCard(1, "sys/devices/platform/soc/fe600000.v3d", "../../../fe600000.v3d",
                 "../../devices/platform/soc/fe600000.v3d", {{"HDMI-A-1", true, false, ""}});

    const Reading r = Read(tree);
    EXPECT_TRUE(r.problems.empty()) << AllProblems(r);
    const Json& devices = r.machine["devices"];
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0]["problem"], 28);
    EXPECT_EQ(devices[0]["status"], 0x01802400);
    EXPECT_EQ(devices[1]["problem"], 0);
    EXPECT_EQ(devices[1]["instanceId"], "PLATFORM\\brcm_bcm2711-vc5\\fe600000.v3d");
    EXPECT_EQ(devices[1]["compatibleIds"], Json::array({"PLATFORM\\vc4-drm"}));
    const Json& outputs = r.machine["displayDevices"];
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[1]["deviceString"], "brcm,bcm2711-vc5");
    // No card is the boot VGA one: the first card's enabled output is primary.
    EXPECT_EQ(outputs[0]["stateFlags"], 5);
    EXPECT_EQ(outputs[1]["stateFlags"], 1);
    EXPECT_NO_THROW(Load(r.machine.dump()));
}

TEST_F(LiveMachineTest, ModesComeFromTheDrmNodeElseFromSysfs)
{
    Tree tree;
    tree.PciCard(0, "0000:00:02.0", "0x1002", "0x73bf", "amdgpu", true,
                 {{"DP-1", true, true, Edid(0x10, 0xAC, 0x40F2),
                   "1920x1080\n1920x1080i\n1280x720\n1920x1080\n"}});
    tree.PciCard(1, "0000:01:00.0", "0x1002", "0x73bf", "amdgpu", false,
                 {{"DP-1", true, true, Edid(0x10, 0xAC, 0x40F2), "800x600\n"}});
    const auto mode = [](std::uint32_t w, std::uint32_t h, std::uint32_t hz, bool i = false) {
        return LiveMode{w, h, hz, i};
    };
    const auto modesOf = [](const Json& output) {
        std::vector<std::string> list;
        for (const Json& m : output["modes"]) {
            list.push_back(std::to_string(int(m["pelsWidth"])) + "x" +
                           std::to_string(int(m["pelsHeight"])) + "@" +
                           std::to_string(int(m["displayFrequency"])) + "/" +
                           std::to_string(int(m["displayFlags"])));
        }
        return list;
    };

    const struct {
        const char* what;
        bool drmForCard0;
        bool unavailable;
        std::vector<std::string> modes;
        bool current;
        const char* problem;
    } cases[] = {
        {"sysfs", false, false, {"1280x720@0/0", "1920x1080@0/0", "1920x1080@0/2"}, false, ""},
        {"libdrm", true, false, {"1920x1080@50/0", "1920x1080@60/0", "3840x2160@60/0"}, true, ""},
        {"refused node", false, true, {"1280x720@0/0", "1920x1080@0/0", "1920x1080@0/2"}, false,
         "dev/dri/card0: Permission denied; modes from sysfs"},
    };
    for (const auto& c : cases) {
        FakeModes modes;
        if (c.drmForCard0) {
            ConnectorModes dp;
            dp.modes = {mode(3840, 2160, 60), mode(1920, 1080, 60), mode(1920, 1080, 50),
                        mode(1920, 1080, 60)};
            dp.current = mode(3840, 2160, 60);
            modes.cards["card0"]["DP-1"] = dp;
        }
        if (c.unavailable) {
            modes.unavailable["card0"] = "Permission denied";
        }
        const Reading r = Read(tree, modes);
        const Json& output = r.machine["displayDevices"][0];
        EXPECT_EQ(modesOf(output), c.modes) << c.what;
        EXPECT_EQ(output.contains("currentMode"), c.current) << c.what;
        if (c.current) {
            EXPECT_EQ(output["currentMode"]["pelsWidth"], 3840);
            EXPECT_EQ(output["currentMode"]["bitsPerPel"], 32);
        }
        EXPECT_EQ(AllProblems(r).find(c.problem) != std::string::npos, true)
            << c.what << ": " << AllProblems(r);
        // The second card has no node in any case: its modes come from sysfs.
        EXPECT_EQ(modesOf(r.machine["displayDevices"][1]),
                  std::vector<std::string>{"800x600@0/0"});
    }
}

TEST_F(LiveMachineTest, ADamagedTreeGivesMessagesAndTheRestOfTheTree)
{
    const struct {
        const char* what;
        std::function<void(Tree&)> damage;
        const char* problem;
        std::size_t outputs;
        std::size_t monitors;
    } cases[] = {
        {"empty edid",
         [](Tree& t) { t.Write("sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/edid", ""); },
         "card0-DP-1/edid: empty; the monitor is left out", 2, 1},
        {"huge edid",
         [](Tree& t) {
             t.Write("sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/edid",
                     Edid(0x10, 0xAC, 0x40F2, 40000));
         },
         "card0-DP-1/edid: cannot be read (larger than 32768 bytes)", 2, 1},
        {"edid is a FIFO",
         [](Tree& t) {
             const std::string edid =
                 t.root() + "/sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/edid";
             fs::remove(edid);
             ASSERT_EQ(mkfifo(edid.c_str(), 0600), 0);
         },
         "edid: cannot be read (not a regular file)", 2, 1},
        {"short edid",
         [](Tree& t) {
             t.Write("sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/edid",
                     Edid(0x10, 0xAC, 0x40F2, 100));
         },
         "fewer than the 128 of its base block", 2, 1},
        {"dangling device link",
         [](Tree& t) { fs::remove_all(t.root() + "/sys/devices/pci0000:00/0000:00:02.0"); },
         "class/drm/card0/device: cannot be resolved", 1, 1},
        {"device link loop",
         [](Tree& t) {
             const std::string link = t.root() + "/sys/devices/pci0000:00/0000:00:02.0/drm/card0/device";
             fs::remove(link);
             fs::create_symlink("device", link);
         },
         "card0: left out, its device cannot be found", 1, 1},
        {"missing vendor",
         [](Tree& t) { fs::remove(t.root() + "/sys/devices/pci0000:00/0000:00:02.0/vendor"); },
         "card0/device/vendor: missing", 2, 2},
        {"malformed revision",
         [](Tree& t) { t.Write("sys/devices/pci0000:00/0000:00:02.0/revision", "0x1ff\n"); },
         "revision: \"0x1ff\" is not a hexadecimal number up to 0xff", 2, 2},
        {"missing status",
         [](Tree& t) {
             fs::remove(t.root() + "/sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/status");
         },
         "card0-DP-1/status: missing", 2, 1},
        {"bad mode line",
         [](Tree& t) {
             t.Write("sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/modes",
                     "1920x1080\nwide\n");
         },
         "\"wide\" is not a mode", 2, 2},
    };
    for (const auto& c : cases) {
        Tree tree;
        tree.PciCard(0, "0000:00:02.0", "0x1002", "0x73bf", "amdgpu", true,
                     {{"DP-1", true, true, Edid(0x10, 0xAC, 0x40F2)}});
        tree.PciCard(1, "0000:01:00.0", "0x10de", "0x2504", "nvidia", false,
                     {{"DP-1", true, true, Edid(0x1E, 0x6D, 0x5B7F)}});
        c.damage(tree);
        const Reading r = Read(tree);
        EXPECT_NE(AllProblems(r).find(c.problem), std::string::npos)
            << c.what << ":\n" << AllProblems(r);
        const Json& outputs = r.machine["displayDevices"];
        EXPECT_EQ(outputs.size(), c.outputs) << c.what;
        std::size_t monitors = 0;
        for (const Json& o : outputs) monitors += o["monitors"].size();
        EXPECT_EQ(monitors, c.monitors) << c.what;
        EXPECT_NO_THROW(Load(r.machine.dump())) << c.what;
    }
}

TEST_F(LiveMachineTest, NoDrmClassMeansNoDisplaysAndNoMessages)
{
    Tree tree;
    const Reading r = Read(tree);
    EXPECT_TRUE(r.problems.empty()) << AllProblems(r);
    EXPECT_TRUE(r.machine["displayDevices"].empty());
    EXPECT_EQ(r.machine["computerName"], "BUILD-HOST");
    EXPECT_NO_THROW(Load(r.machine.dump()));
}

}  // namespace
